#include "SplitterWnd.h"

#include "DC.h"
#include "SplitterLayout.h"

#include <algorithm>

namespace {
const wchar_t kSplitterClass[] = L"VemliSplitter";

std::vector<SplitterTrack> AsLayout(const std::vector<int>& ideals, const std::vector<int>& mins) {
    std::vector<SplitterTrack> tracks(ideals.size());
    for (size_t i = 0; i < ideals.size(); ++i)
        tracks[i] = {ideals[i], mins[i]};
    return tracks;
}
} // namespace

BOOL CSplitterWnd::CreateStatic(CWnd* parent, int rows, int cols, DWORD style, UINT id) {
    if (parent == nullptr || rows < 1 || cols < 1 || rows > 16 || cols > 16)
        return FALSE;
    RegisterClass(kSplitterClass, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    m_rows.assign(static_cast<size_t>(rows), Track{});
    m_cols.assign(static_cast<size_t>(cols), Track{});
    m_views.clear();
    return CreateEx(0, kSplitterClass, L"", style | WS_CLIPCHILDREN, {0, 0, 0, 0}, parent->m_hWnd,
                    id);
}

BOOL CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* viewClass, SIZE idealSize,
                              CCreateContext* context) {
    if (m_hWnd == nullptr || viewClass == nullptr || row < 0 || col < 0 || row >= GetRowCount() ||
        col >= GetColumnCount() || GetDlgItem(IdFromRowCol(row, col)) != nullptr)
        return FALSE;
    m_cols[static_cast<size_t>(col)].ideal = idealSize.cx;
    m_rows[static_cast<size_t>(row)].ideal = idealSize.cy;
    auto view = DowncastOwned<CWnd>(viewClass->CreateObject());
    if (!view)
        return FALSE;
    if (!view->Create(this, static_cast<UINT>(IdFromRowCol(row, col)), WS_CHILD | WS_VISIBLE,
                      {0, 0, idealSize.cx, idealSize.cy}, context))
        return FALSE;
    m_views.push_back(std::move(view));
    return TRUE;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
    if (m_hWnd == nullptr)
        return nullptr;
    return FromHandlePermanent(GetDlgItem(IdFromRowCol(row, col)));
}

void CSplitterWnd::GetColumnInfo(int col, int& current, int& minimum) const {
    const Track& track = m_cols.at(static_cast<size_t>(col));
    current = track.current;
    minimum = track.min;
}

void CSplitterWnd::GetRowInfo(int row, int& current, int& minimum) const {
    const Track& track = m_rows.at(static_cast<size_t>(row));
    current = track.current;
    minimum = track.min;
}

void CSplitterWnd::SetColumnInfo(int col, int ideal, int minimum) {
    Track& track = m_cols.at(static_cast<size_t>(col));
    track.ideal = ideal;
    track.min = minimum;
}

void CSplitterWnd::SetRowInfo(int row, int ideal, int minimum) {
    Track& track = m_rows.at(static_cast<size_t>(row));
    track.ideal = ideal;
    track.min = minimum;
}

std::vector<int> CSplitterWnd::Currents(const std::vector<Track>& tracks) {
    std::vector<int> sizes;
    for (const Track& track : tracks)
        sizes.push_back(std::max(track.current, 0));
    return sizes;
}

void CSplitterWnd::RecalcLayout() {
    if (m_hWnd == nullptr)
        return;
    RECT client = GetClientRect();
    auto layOut = [](std::vector<Track>& tracks, int total) {
        std::vector<int> ideals, mins;
        for (const Track& track : tracks) {
            ideals.push_back(track.ideal);
            mins.push_back(track.min);
        }
        std::vector<int> sizes = LayoutSplitterTracks(AsLayout(ideals, mins), total, kBarSize);
        for (size_t i = 0; i < tracks.size(); ++i)
            tracks[i].current = sizes[i];
    };
    layOut(m_cols, client.right);
    layOut(m_rows, client.bottom);

    std::vector<int> colStarts = SplitterTrackStarts(Currents(m_cols), kBarSize);
    std::vector<int> rowStarts = SplitterTrackStarts(Currents(m_rows), kBarSize);
    for (int row = 0; row < GetRowCount(); ++row) {
        for (int col = 0; col < GetColumnCount(); ++col) {
            HWND pane = GetDlgItem(IdFromRowCol(row, col));
            if (pane == nullptr)
                continue;
            ::SetWindowPos(pane, nullptr, colStarts[static_cast<size_t>(col)],
                           rowStarts[static_cast<size_t>(row)],
                           m_cols[static_cast<size_t>(col)].current,
                           m_rows[static_cast<size_t>(row)].current, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    Invalidate(TRUE);
}

void CSplitterWnd::OnSize(UINT type, int, int) {
    Default();
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

void CSplitterWnd::OnPaint() {
    CPaintDC dc(m_hWnd);
    RECT client = GetClientRect();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    std::vector<int> colStarts = SplitterTrackStarts(Currents(m_cols), kBarSize);
    std::vector<int> rowStarts = SplitterTrackStarts(Currents(m_rows), kBarSize);
    for (size_t i = 0; i + 1 < m_cols.size(); ++i) {
        int x = colStarts[i] + std::max(m_cols[i].current, 0);
        RECT bar = {x, 0, x + kBarSize, client.bottom};
        dc.FillSolidRect(bar, face);
        dc.Draw3dRect(bar, light, dark);
    }
    for (size_t i = 0; i + 1 < m_rows.size(); ++i) {
        int y = rowStarts[i] + std::max(m_rows[i].current, 0);
        RECT bar = {0, y, client.right, y + kBarSize};
        dc.FillSolidRect(bar, face);
        dc.Draw3dRect(bar, light, dark);
    }
}

std::pair<int, int> CSplitterWnd::HitTestBars(POINT point) const {
    return {SplitterBarAt(Currents(m_cols), kBarSize, point.x),
            SplitterBarAt(Currents(m_rows), kBarSize, point.y)};
}

BOOL CSplitterWnd::OnSetCursor(HWND hWnd, UINT hitTest, UINT message) {
    if (hWnd == m_hWnd && hitTest == HTCLIENT) {
        POINT point;
        ::GetCursorPos(&point);
        ::ScreenToClient(m_hWnd, &point);
        auto [colBar, rowBar] = HitTestBars(point);
        if (colBar >= 0 || rowBar >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, colBar >= 0 ? IDC_SIZEWE : IDC_SIZENS));
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(hWnd, hitTest, message);
}

void CSplitterWnd::OnLButtonDown(UINT, POINT point) {
    auto [colBar, rowBar] = HitTestBars(point);
    if (colBar < 0 && rowBar < 0)
        return;
    std::vector<int> colStarts = SplitterTrackStarts(Currents(m_cols), kBarSize);
    std::vector<int> rowStarts = SplitterTrackStarts(Currents(m_rows), kBarSize);
    if (colBar >= 0) {
        m_dragCol = colBar;
        m_dragOffset = point.x - (colStarts[static_cast<size_t>(colBar)] +
                                  m_cols[static_cast<size_t>(colBar)].current);
    } else {
        m_dragRow = rowBar;
        m_dragOffset = point.y - (rowStarts[static_cast<size_t>(rowBar)] +
                                  m_rows[static_cast<size_t>(rowBar)].current);
    }
    ::SetCapture(m_hWnd);
}

void CSplitterWnd::OnMouseMove(UINT, POINT point) {
    if (m_dragCol < 0 && m_dragRow < 0)
        return;
    RECT client = GetClientRect();
    if (m_dragCol >= 0) {
        size_t i = static_cast<size_t>(m_dragCol);
        int start = SplitterTrackStarts(Currents(m_cols), kBarSize)[i];
        m_cols[i].ideal = std::clamp<int>(point.x - m_dragOffset - start, 0,
                                          std::max<int>(client.right - start - kBarSize, 0));
    } else {
        size_t i = static_cast<size_t>(m_dragRow);
        int start = SplitterTrackStarts(Currents(m_rows), kBarSize)[i];
        m_rows[i].ideal = std::clamp<int>(point.y - m_dragOffset - start, 0,
                                          std::max<int>(client.bottom - start - kBarSize, 0));
    }
    RecalcLayout();
    ::UpdateWindow(m_hWnd);
}

void CSplitterWnd::OnLButtonUp(UINT, POINT) {
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    m_dragCol = m_dragRow = -1;
}

void CSplitterWnd::OnCaptureChanged(HWND) {
    m_dragCol = m_dragRow = -1;
}

void CSplitterWnd::PostNcDestroy() {
    // The pane windows went before their parent; now their objects go.
    m_views.clear();
}
