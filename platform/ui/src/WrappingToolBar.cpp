// A toolbar whose floating window can be reshaped: its buttons wrap into rows.

#include "WrappingToolBar.h"

#include <QLayout>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolBar>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace {

// How far from an edge a press takes hold of it.
constexpr int kGrip = 4;

} // namespace

WrappingToolBar::WrappingToolBar(QWidget* parent) : QToolBar(parent)
{
    setMouseTracking(true); // the edges' cursor shows without a button held
    connect(this, &QToolBar::topLevelChanged, this, [this](bool floating) {
        if (!floating)
            WrapTo(0);
    });
}

void WrappingToolBar::WrapTo(int width)
{
    m_wrapWidth = isFloating() ? std::max(width, 0) : 0;
    // The toolkit's layout knows one row only: it stands aside while the
    // buttons wrap, or the two would undo each other's work for ever.
    if (layout())
        layout()->setEnabled(m_wrapWidth == 0);
    if (m_wrapWidth == 0) {
        if (layout())
            layout()->invalidate();
        if (isFloating())
            resize(sizeHint());
        updateGeometry();
        return;
    }
    Arrange();
}

void WrappingToolBar::KeepFloatingShape()
{
    if (m_reshapable && m_wrapWidth == 0 && isFloating() && width() < sizeHint().width())
        WrapTo(width());
}

int WrappingToolBar::EdgeAt(const QPoint& at) const
{
    if (!m_reshapable || !isFloating() || at.y() < 0 || at.y() >= height())
        return 0;
    if (at.x() >= 0 && at.x() < kGrip)
        return -1;
    if (at.x() >= width() - kGrip && at.x() < width())
        return 1;
    return 0;
}

void WrappingToolBar::Arrange()
{
    if (m_arranging || m_wrapWidth == 0 || !isFloating() || !layout())
        return;
    m_arranging = true;
    QStyleOptionToolBar option;
    initStyleOption(&option);
    const QMargins margins = layout()->contentsMargins();
    const int spacing = std::max(layout()->spacing(), 0);
    const int handle =
        isMovable() ? style()->pixelMetric(QStyle::PM_ToolBarHandleExtent, &option, this) : 0;
    const int left = margins.left() + handle;
    const int right = m_wrapWidth - margins.right();

    struct Placed
    {
        QWidget* widget;
        QRect at;
        size_t row;
    };
    std::vector<Placed> placed;
    std::vector<int> rowHeights;
    int x = left, y = margins.top(), rowHeight = 0, widest = left;
    for (QAction* action : actions()) {
        QWidget* widget = widgetForAction(action);
        if (!widget)
            continue;
        if (!action->isVisible()) {
            widget->hide();
            continue;
        }
        const QSize size = widget->sizeHint();
        if (x > left && x + size.width() > right) {
            x = left;
            y += rowHeight + spacing;
            rowHeights.push_back(rowHeight);
            rowHeight = 0;
        }
        // A separator where a row breaks is the break itself.
        if (action->isSeparator() && x == left) {
            widget->hide();
            continue;
        }
        placed.push_back({widget, QRect(QPoint(x, y), size), rowHeights.size()});
        x += size.width() + spacing;
        widest = std::max(widest, x - spacing);
        rowHeight = std::max(rowHeight, size.height());
    }
    // The bar is at least as wide as its widest button.
    const int width = std::max(m_wrapWidth, widest + margins.right());
    const int height = y + rowHeight + margins.bottom();
    rowHeights.push_back(rowHeight);
    if (size() != QSize(width, height))
        resize(width, height);
    for (Placed& p : placed) {
        p.at.setHeight(rowHeights[p.row]); // a separator is as tall as its row
        p.widget->setGeometry(p.at);
        p.widget->show();
    }
    // Nothing is cut off, so the button that lists what is does not show.
    // (The toolkit's layout shows it again when it lays out one row.)
    if (auto* more = findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"),
                                             Qt::FindDirectChildrenOnly))
        more->hide();
    m_arranging = false;
}

bool WrappingToolBar::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int edge =
            mouse->button() == Qt::LeftButton ? EdgeAt(mouse->position().toPoint()) : 0;
        if (edge == 0)
            break;
        m_dragEdge = edge;
        m_dragFromX = static_cast<int>(mouse->globalPosition().x());
        m_dragFromGeometry = geometry();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_dragEdge == 0) {
            if (EdgeAt(mouse->position().toPoint()) != 0)
                setCursor(Qt::SizeHorCursor);
            else
                unsetCursor();
            break;
        }
        const int dx = static_cast<int>(mouse->globalPosition().x()) - m_dragFromX;
        const int minimum = minimumSizeHint().width();
        QRect to = m_dragFromGeometry;
        if (m_dragEdge > 0)
            to.setWidth(std::max(to.width() + dx, minimum));
        else
            to.setLeft(std::min(to.left() + dx, to.right() + 1 - minimum));
        move(to.topLeft());
        WrapTo(to.width());
        // Dragging the left edge keeps the right one where it is.
        if (m_dragEdge < 0 && width() != to.width())
            move(to.right() + 1 - width(), to.top());
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragEdge == 0)
            break;
        m_dragEdge = 0;
        return true;
    default:
        break;
    }
    const bool result = QToolBar::event(event);
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest ||
        event->type() == QEvent::Show)
        Arrange();
    return result;
}
