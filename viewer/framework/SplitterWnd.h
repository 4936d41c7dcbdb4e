// Static splitter: a fixed grid of panes in one child window. The pane at
// (row, col) is the child with id IdFromRowCol(row, col), whoever created it.
// Columns and rows have an ideal and a minimum size; RecalcLayout gives each
// its ideal while room lasts and the last one the rest. The bars between
// them can be dragged with the mouse, which changes the ideal size of the
// column or row before the bar.
#pragma once

#include "Document.h"
#include "FrameworkIds.h"
#include "Wnd.h"

#include <memory>
#include <vector>

class CSplitterWnd : public CWnd {
public:
    static constexpr int kBarSize = 6;
    // A column or row smaller than this is hidden until it gets room again.
    static constexpr int kDefaultMinSize = 10;

    BOOL CreateStatic(CWnd* parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE,
                      UINT id = AFX_IDW_PANE_FIRST);

    // Creates a pane of the given class at (row, col), its column's and row's
    // ideal sizes taken from idealSize. The splitter owns the pane object; it
    // goes when the splitter's window goes.
    BOOL CreateView(int row, int col, const CRuntimeClass* viewClass, SIZE idealSize,
                    CCreateContext* context);

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetColumnCount() const { return static_cast<int>(m_cols.size()); }
    int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }
    // The object of the pane at (row, col); null when there is none or it is
    // not one of ours.
    CWnd* GetPane(int row, int col) const;

    // Current size (-1 until the window is first laid out, which happens
    // when it is created) and minimum size.
    void GetColumnInfo(int col, int& current, int& minimum) const;
    void GetRowInfo(int row, int& current, int& minimum) const;
    void SetColumnInfo(int col, int ideal, int minimum);
    void SetRowInfo(int row, int ideal, int minimum);

    void RecalcLayout();

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
    BOOL OnSetCursor(HWND hWnd, UINT hitTest, UINT message) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnCaptureChanged(HWND newCapture) override;
    void PostNcDestroy() override;

private:
    struct Track {
        int ideal = 0;
        int min = kDefaultMinSize;
        int current = -1;
    };
    // Which bar a point is on: (column bar index, row bar index), -1 for none.
    std::pair<int, int> HitTestBars(POINT point) const;
    static std::vector<int> Currents(const std::vector<Track>& tracks);

    std::vector<Track> m_rows;
    std::vector<Track> m_cols;
    std::vector<std::unique_ptr<CWnd>> m_views;
    int m_dragCol = -1;
    int m_dragRow = -1;
    int m_dragOffset = 0; // pointer position inside the bar being dragged
};
