// The Qt toolbar behind a CToolBar: floating, it can be reshaped by its edges.
#pragma once

// Private to the window layer (and its tests).

#include <QToolBar>

// Dragging a floating bar's left or right edge sets its width; its buttons
// then wrap into as many rows as that width allows. Docked again, it is
// one row as before.
class WrappingToolBar final : public QToolBar
{
public:
    explicit WrappingToolBar(QWidget* parent);

    // Whether the edges can be dragged (CBRS_SIZE_DYNAMIC).
    void SetReshapable(bool on) { m_reshapable = on; }
    // Lays the buttons out in rows at most `width` pixels wide, the bar as
    // tall as they need; 0 goes back to one row. Floating bars only.
    void WrapTo(int width);
    // A floating bar given a width narrower than one row (its place as the
    // last run left it) wraps to that width.
    void KeepFloatingShape();

protected:
    bool event(QEvent* event) override;

private:
    // The edge under a point: -1 left, 1 right, 0 neither.
    int EdgeAt(const QPoint& at) const;
    // Puts each button in its row.
    void Arrange();

    bool m_reshapable = false;
    bool m_arranging = false;
    int m_wrapWidth = 0; // 0: one row
    int m_dragEdge = 0;  // the edge being dragged, as EdgeAt says
    int m_dragFromX = 0; // where the drag began, on the screen
    QRect m_dragFromGeometry;
};
