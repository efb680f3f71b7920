#pragma once

#include "shell/SelectionContext.h"

#include <QWidget>

#include <array>

class CFixedSplitterWnd;
class CFormDBSelect;
class CFormGen;
class CRoundBitmapButton;
class IWindowHost;

// The program's one main window: the left and right selection views side by side on top and
// the command view as a strip across the bottom, in splitters the user cannot drag. A small
// round button between the two sides swaps them.
class CMainFrame : public QWidget {
public:
    static constexpr int kMinimumWidth = 650;
    static constexpr int kMinimumHeight = 400;
    static constexpr int kMaximumWidth = 900;

    // The host keeps the window's placement; each selection view is handed its side's context.
    CMainFrame(IWindowHost& host, const std::array<CSelectionContext, 2>& selections,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    CFormDBSelect* GetSelectionView(int side) const;
    CFormGen* GetCommandView() const { return m_commandView; }
    // Pressed, or Ctrl+Shift+E while it is enabled, it asks for the sides to be swapped.
    CRoundBitmapButton* SwapButton() const { return m_swapButton; }
    // Also the swap: locked while result windows show what these sides gave.
    void LockSelectionViews(bool enable);
    bool OfferKeyToSelectionViews(int key);
    // Ctrl+F: the focus goes to the search field of the side that has it, else of the first side
    // that shows one.
    void FocusSearchField();

    void MeasureSplitterOverhead();
    void RestorePlacement();
    void SavePlacement();

    int CommandRowHeight() const { return m_commandRowHeight; }
    int HorizontalOverhead() const { return m_horizontalOverhead; }
    int VerticalOverhead() const { return m_verticalOverhead; }

    // Lays the panes out for a client area of this size.
    void OnSize(int cx, int cy);
    void PlaceSwapButton();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    IWindowHost& m_host;
    CFixedSplitterWnd* m_outer;
    CFixedSplitterWnd* m_inner;
    CFormDBSelect* m_selectionViews[2];
    CFormGen* m_commandView;
    CRoundBitmapButton* m_swapButton;
    int m_horizontalOverhead = 0;
    int m_verticalOverhead = 0;
    int m_commandRowHeight = 0;
    bool m_placementSaved = false;
};
