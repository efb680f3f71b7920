#include "ui/QuorvixStyle.h"

#include "ui/QuorvixLook.h"

#include <QApplication>
#include <QPushButton>
#include <QStyleOption>

namespace {

// Draws with the shared palette of the option's colours, and gives the option its own back.
// Widgets hand the style options they made for this drawing, never constants.
class CSharedPaletteScope {
public:
    CSharedPaletteScope(const CQuorvixStyle& style, const QStyleOption* option)
        : m_option(const_cast<QStyleOption*>(option)) {
        if (!m_option)
            return;
        m_own = m_option->palette;
        m_option->palette = style.SharedPalette(m_own);
    }
    ~CSharedPaletteScope() {
        if (m_option)
            m_option->palette = m_own;
    }
    CSharedPaletteScope(const CSharedPaletteScope&) = delete;
    CSharedPaletteScope& operator=(const CSharedPaletteScope&) = delete;

private:
    QStyleOption* m_option;
    QPalette m_own;
};

} // namespace

void CQuorvixStyle::Install() {
    QApplication::setStyle(new CQuorvixStyle); // the application owns its style
}

QPalette CQuorvixStyle::SharedPalette(const QPalette& palette) const {
    // The group a widget draws in (active, inactive, disabled) is the palette's, not its colours'.
    const auto inGroup = [&palette](QPalette shared) {
        shared.setCurrentColorGroup(palette.currentColorGroup());
        return shared;
    };
    if (qint64(palette.cacheKey()) == m_lastKey)
        return inGroup(m_lastShared);
    QByteArray colours;
    colours.reserve(int(QPalette::NColorGroups) * int(QPalette::NColorRoles) *
                    int(sizeof(quint64)));
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const QBrush& brush =
                palette.brush(QPalette::ColorGroup(group), QPalette::ColorRole(role));
            if (brush.style() != Qt::SolidPattern && brush.style() != Qt::NoBrush)
                return palette;
            const quint64 colour = brush.style() == Qt::NoBrush ? 0 : brush.color().rgba64();
            colours.append(reinterpret_cast<const char*>(&colour), sizeof colour);
        }
    }
    auto shared = m_sharedPalettes.constFind(colours);
    if (shared == m_sharedPalettes.cend()) {
        if (m_sharedPalettes.size() >= kMaxSharedPalettes)
            m_sharedPalettes.clear();
        shared = m_sharedPalettes.insert(colours, palette);
    }
    m_lastKey = qint64(palette.cacheKey());
    m_lastShared = *shared;
    return inGroup(m_lastShared);
}

void CQuorvixStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                       QPainter* painter, const QWidget* widget) const {
    const CSharedPaletteScope shared(*this, option);
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void CQuorvixStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    const CSharedPaletteScope shared(*this, option);
    if (element != PE_FrameFocusRect || !option || !painter) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // A push button's mark lies on its face; any other control's on what is behind its text.
    const QPalette::ColorRole text =
        qobject_cast<const QPushButton*>(widget) ? QPalette::ButtonText : QPalette::WindowText;
    QColor colour = option->palette.color(text);
    if (const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
        focus && focus->backgroundColor.isValid())
        colour = focus->backgroundColor.lightness() < 128 ? Qt::white : Qt::black;
    CQuorvixLook::DrawFocusMark(*painter, option->rect, colour);
}

void CQuorvixStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    const CSharedPaletteScope shared(*this, option);
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || !option || !painter || !(option->state & State_HasFocus))
        return;
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(*option);
    focus.rect = subElementRect(SE_PushButtonFocusRect, option, widget);
    drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
}
