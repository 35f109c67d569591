// Files dropped on a frame window open as File > Open would open them.

#include "FileDrop.h"

#include "ToolkitText.h"
#include "ui/WinApp.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

// The first local file among the dropped items, or empty.
QString FirstLocalFile(const QMimeData* data)
{
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                return url.toLocalFile();
    return QString();
}

class FileDropFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (FirstLocalFile(drag->mimeData()).isEmpty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString file = FirstLocalFile(drop->mimeData());
            if (file.isEmpty())
                return false;
            drop->acceptProposedAction();
            // Opened once the drop is over: the source waits for its answer,
            // and an open may show a message box.
            const CString path = PathBytes(file);
            QTimer::singleShot(0, watched, [path] {
                if (CWinApp* app = AfxGetApp())
                    app->OpenDocumentFile(path);
            });
            return true;
        }
        default:
            return false;
        }
    }
};

} // namespace

void AcceptFileDrops(QWidget* window)
{
    window->setAcceptDrops(true);
    window->installEventFilter(new FileDropFilter(window));
}
