// The Qt widget of a window: it shows the window's surface and passes Qt's events on as messages.
#pragma once

// Private to the window layer (and its tests).

#include "ui/Messages.h"

#include <QWidget>

class WindowWidget final : public QWidget
{
public:
    WindowWidget(HWND hwnd, QWidget* parent, Qt::WindowFlags flags);

    HWND m_hwnd; // null once the window is destroyed

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
