#include "ui/ResultFrame.h"
#include "ui/QuorvixFormView.h"
#include "ui/WindowHost.h"

#include <QApplication>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kPlacementKind = 2;

// A host that lists the frames it is told of and keeps placements in memory.
class CRecordingHost : public IWindowHost {
public:
    void RegisterComparisonFrame(QWidget* frame) override { Add(comparisons, frame); }
    void UnregisterComparisonFrame(QWidget* frame) override { Remove(comparisons, frame); }
    void RegisterStructureFrame(QWidget* frame) override { Add(structures, frame); }
    void UnregisterStructureFrame(QWidget* frame) override { Remove(structures, frame); }
    void LoadWindowRect(int frameIndex, QString& rectangle, bool& zoomed) const override {
        rectangle = rectangles.value(frameIndex);
        zoomed = false;
    }
    void SaveWindowRect(int frameIndex, const QString& rectangle, bool) override {
        rectangles[frameIndex] = rectangle;
        ++saves;
    }
    QWidget* LastResultWindow(const QWidget* except) const override {
        for (auto window = m_opened.crbegin(); window != m_opened.crend(); ++window) {
            if (*window != except && (*window)->isVisible())
                return *window;
        }
        return nullptr;
    }

    QList<QWidget*> comparisons;
    QList<QWidget*> structures;
    QMap<int, QString> rectangles;
    int saves = 0;

private:
    void Add(QList<QWidget*>& frames, QWidget* frame) {
        frames.append(frame);
        m_opened.append(frame);
    }
    void Remove(QList<QWidget*>& frames, QWidget* frame) {
        frames.removeOne(frame);
        m_opened.removeOne(frame);
    }

    QList<QWidget*> m_opened;
};

// A frame on a plain view with a search field; at most 500 pixels wide by dragging.
class CTestFrame : public CResultFrame {
public:
    struct Kind {
        Role role = Role::Comparison;
        bool keepsWiderPlacement = false;
        bool resultReady = true;
    };

    CTestFrame(IWindowHost& host, Kind kind, QWidget* owner, QWidget* opener = nullptr)
        : CResultFrame(&host, kind.role, kPlacementKind, QIcon(), owner, opener), m_kind(kind) {}

    bool Open() { return OpenFrame(QStringLiteral("Result")); }
    QLineEdit* Search() const { return m_search; }
    int finds = 0;

protected:
    CQuorvixFormView* MakeView() override {
        auto* view = new CQuorvixFormView(9004, this);
        m_search = new QLineEdit(view);
        return view;
    }
    QLineEdit* SearchField() const override { return m_search; }
    void FindInView() override { ++finds; }
    bool PrepareResult() override { return m_kind.resultReady; }
    QSize MinimumSize() const override { return {300, 200}; }
    int MaximumWidth() const override { return 500; }
    bool KeepsWiderPlacement() const override { return m_kind.keepsWiderPlacement; }

private:
    Kind m_kind;
    QLineEdit* m_search = nullptr;
};

} // namespace

// The host lists a frame by its role while it is open; closing or destroying an open frame
// saves its placement once and takes it off the list; a frame whose result cannot be had is
// taken off again and saves nothing.
TEST(ResultFrame, ListedWhileOpenAndPlacementSavedWhenItGoes) {
    CRecordingHost host;
    QWidget owner;
    QPointer<CTestFrame> comparison = new CTestFrame(host, {}, &owner);
    ASSERT_TRUE(comparison->Open());
    EXPECT_TRUE(comparison->isVisible());
    EXPECT_EQ(host.comparisons, QList<QWidget*>{comparison});
    comparison->setGeometry(40, 50, 400, 300);
    comparison->close();
    EXPECT_TRUE(host.comparisons.isEmpty());
    EXPECT_EQ(host.rectangles.value(kPlacementKind), QStringLiteral("40,50,440,350"));
    EXPECT_EQ(host.saves, 1);

    {
        auto structureOwner = std::make_unique<QWidget>();
        auto* structure =
            new CTestFrame(host, {.role = CResultFrame::Role::Structure}, structureOwner.get());
        ASSERT_TRUE(structure->Open());
        EXPECT_EQ(host.structures, QList<QWidget*>{structure});
        EXPECT_TRUE(host.comparisons.isEmpty());
        structure->setGeometry(60, 70, 400, 300);
    } // still open when its owner goes, as when the program ends
    EXPECT_TRUE(host.structures.isEmpty());
    EXPECT_EQ(host.rectangles.value(kPlacementKind), QStringLiteral("60,70,460,370"));
    EXPECT_EQ(host.saves, 2);

    QPointer<CTestFrame> failed = new CTestFrame(host, {.resultReady = false}, &owner);
    EXPECT_FALSE(failed->Open());
    EXPECT_FALSE(failed->isVisible());
    EXPECT_TRUE(host.comparisons.isEmpty());
    delete failed;
    EXPECT_EQ(host.saves, 2);
}

// A plain limit holds from the start, also over a wider stored placement; a limit that keeps a
// wider placement follows the window down as it is narrowed.
TEST(ResultFrame, WidthLimitEitherHoldsAtOnceOrFollowsAWiderPlacementDown) {
    CRecordingHost host;
    host.rectangles[kPlacementKind] = QStringLiteral("10,20,710,525");
    QWidget owner;
    auto* strict = new CTestFrame(host, {}, &owner);
    ASSERT_TRUE(strict->Open());
    EXPECT_EQ(strict->geometry(), QRect(10, 20, 500, 505));

    auto* keeping = new CTestFrame(host, {.keepsWiderPlacement = true}, &owner);
    ASSERT_TRUE(keeping->Open());
    EXPECT_EQ(keeping->width(), 700);
    keeping->resize(800, 505);
    EXPECT_EQ(keeping->width(), 700);
    keeping->resize(450, 505);
    keeping->resize(650, 505);
    EXPECT_EQ(keeping->width(), 500);
    keeping->resize(100, 100);
    EXPECT_EQ(keeping->size(), QSize(300, 200));
}

// Without a usable placement a window takes the default size; each window opened after another
// steps away from it.
TEST(ResultFrame, DefaultSizeAndEachWindowAStepAwayFromTheLast) {
    CRecordingHost host;
    QWidget owner;
    auto* first = new CTestFrame(host, {.keepsWiderPlacement = true}, &owner);
    ASSERT_TRUE(first->Open());
    EXPECT_EQ(first->size(), QSize(680, 505));
    first->move(10, 20);
    auto* second = new CTestFrame(host, {.keepsWiderPlacement = true}, &owner);
    ASSERT_TRUE(second->Open());
    EXPECT_EQ(second->frameGeometry().topLeft() - first->frameGeometry().topLeft(), QPoint(28, 28));
}

// Enter and Return in the search field run the find; elsewhere, or any other key, they are left
// to the window.
TEST(ResultFrame, EnterInTheSearchFieldFinds) {
    CRecordingHost host;
    QWidget owner;
    auto* frame = new CTestFrame(host, {}, &owner);
    ASSERT_TRUE(frame->Open());
    QApplication::setActiveWindow(frame);
    frame->Search()->setFocus();
    EXPECT_TRUE(frame->TakeKey(Qt::Key_Return));
    EXPECT_TRUE(frame->TakeKey(Qt::Key_Enter));
    EXPECT_FALSE(frame->TakeKey(Qt::Key_Escape));
    EXPECT_EQ(frame->finds, 2);
    frame->Search()->clearFocus();
    EXPECT_FALSE(frame->TakeKey(Qt::Key_Return));
    EXPECT_EQ(frame->finds, 2);
}

// A frame that closes gives the focus back to the widget that opened it: to the control that had
// it inside that widget, else to the widget itself; with the opener gone, to the owner's window.
TEST(ResultFrame, ClosingGivesTheFocusBackToItsOpener) {
    const auto activeWindowBecomes = [](const QWidget* window) {
        return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 5000);
    };
    CRecordingHost host;
    QWidget owner;
    auto* outside = new QLineEdit(&owner);
    auto* pane = new QWidget(&owner);
    auto* inside = new QLineEdit(pane);
    owner.show();
    auto opener = std::make_unique<QWidget>();
    auto* openerField = new QLineEdit(opener.get());
    opener->show();

    for (QWidget* hadFocus : {static_cast<QWidget*>(inside), static_cast<QWidget*>(outside)}) {
        QApplication::setActiveWindow(&owner);
        hadFocus->setFocus();
        auto* frame = new CTestFrame(host, {.role = CResultFrame::Role::Structure}, pane);
        ASSERT_TRUE(frame->Open());
        QApplication::setActiveWindow(frame);
        frame->Search()->setFocus();
        QTest::keyClick(frame->Search(), Qt::Key_Escape);
        EXPECT_TRUE(activeWindowBecomes(&owner));
        EXPECT_EQ(QApplication::focusWidget(), hadFocus == inside ? hadFocus : pane);
    }

    QApplication::setActiveWindow(opener.get());
    openerField->setFocus();
    QPointer<CTestFrame> frame = new CTestFrame(host, {}, &owner, opener.get());
    ASSERT_TRUE(frame->Open());
    QApplication::setActiveWindow(frame);
    frame->close();
    EXPECT_TRUE(activeWindowBecomes(opener.get()));
    EXPECT_TRUE(openerField->hasFocus());

    frame = new CTestFrame(host, {}, &owner, opener.get());
    ASSERT_TRUE(frame->Open());
    opener.reset();
    QApplication::setActiveWindow(frame);
    frame->close();
    EXPECT_TRUE(activeWindowBecomes(&owner));
    EXPECT_TRUE(host.comparisons.isEmpty());
}
