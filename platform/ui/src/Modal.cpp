// The one seam of modal loops, and the message box as its first client.

#include "ui/Modal.h"

#include "Hwnd.h"
#include "ToolkitText.h"
#include "ui/MessageLoop.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

ModalHandler& InstalledHandler()
{
    static ModalHandler handler;
    return handler;
}

CString& AppName()
{
    static CString name("Pixmora");
    return name;
}

QMessageBox::StandardButtons ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    case MB_RETRYCANCEL:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ResultOf(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Retry:
        return IDRETRY;
    default:
        return IDOK;
    }
}

int ShowMessageBox(ModalRequest& request)
{
    EnsureApplication();
    QMessageBox box(IconOf(request.type), ToolkitText(request.caption), ToolkitText(request.text),
                    ButtonsOf(request.type), WidgetOf(request.hWndOwner));
    return ResultOf(box.exec());
}

// "*.*" stands for every file, named with a dot or not; the toolkit takes
// patterns literally, so it becomes "*".
QString ToolkitFilter(const CString& filter)
{
    const QString text = ToolkitText(filter);
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    if (open < 0)
        return text;
    QString patterns = text.mid(open);
    return text.left(open) + patterns.replace(QLatin1String("*.*"), QLatin1String("*"));
}

int ShowFileDialog(ModalRequest& request)
{
    EnsureApplication();
    QFileDialog dialog(WidgetOf(request.hWndOwner), ToolkitText(request.caption));
    const bool open = request.kind == ModalKind::FileOpen;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const CString& filter : request.filters)
        filters << ToolkitFilter(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    // The toolkit takes the extension without its dot.
    if (const QString ext = ToolkitText(request.defaultExt); !ext.isEmpty())
        dialog.setDefaultSuffix(ext.startsWith(QLatin1Char('.')) ? ext.mid(1) : ext);
    if (!request.folder.IsEmpty())
        dialog.setDirectory(PathText(request.folder));
    if (!request.text.IsEmpty())
        dialog.selectFile(PathText(request.text));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return IDCANCEL;
    request.answer = PathBytes(dialog.selectedFiles().constFirst());
    return IDOK;
}

} // namespace

int RunModalLoop(ModalRequest& request, const std::function<int(ModalRequest&)>& loop)
{
    // A copy: the handler may install another while it answers.
    const ModalHandler handler = InstalledHandler();
    return handler ? handler(request) : loop(request);
}

ModalHandler SetModalHandler(ModalHandler handler)
{
    ModalHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}

LPCSTR AfxGetAppName()
{
    return AppName().GetString();
}

void AfxSetAppName(LPCSTR lpszName)
{
    AppName() = lpszName;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    return MessageBoxA(GetActiveWindow(), lpszText, nullptr, nType);
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    ModalRequest request{ModalKind::MessageBox,
                         IsWindow(hWnd) ? hWnd : nullptr,
                         nullptr,
                         lpCaption ? lpCaption : AfxGetAppName(),
                         lpText,
                         uType,
                         {}};
    return RunModalLoop(request, &ShowMessageBox);
}

int AfxPromptOpenFileName(HWND hWndOwner, LPCSTR lpszTitle, std::vector<CString> filters,
                          CString& fileName, LPCSTR lpszDefExt, LPCSTR lpszFolder)
{
    ModalRequest request{ModalKind::FileOpen,
                         IsWindow(hWndOwner) ? hWndOwner : nullptr,
                         nullptr,
                         lpszTitle,
                         fileName,
                         0,
                         {},
                         std::move(filters),
                         lpszDefExt,
                         lpszFolder};
    const int result = RunModalLoop(request, &ShowFileDialog);
    if (result == IDOK)
        fileName = request.answer;
    return result == IDOK ? IDOK : IDCANCEL;
}
