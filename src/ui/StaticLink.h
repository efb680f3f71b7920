#pragma once

#include <QLabel>

// A text or picture that acts as a web link: a click opens its address (or, when it has none,
// its own text) with the desktop's "open" command. A text link is underlined, blue until it was
// opened once and purple after; a picture keeps its own colours.
class CStaticLink : public QLabel {
    Q_OBJECT

public:
    static constexpr QRgb kLinkColor = 0xFF0000FF;
    static constexpr QRgb kVisitedColor = 0xFF800080;

    explicit CStaticLink(QWidget* parent = nullptr);

    void SetAddress(const QString& address) { m_address = address; }
    QString Address() const { return m_address; }
    bool IsVisited() const { return m_visited; }
    QColor CurrentColor() const;

signals:
    void Opened();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Open();

    bool m_visited = false;
    QString m_address;
};
