// The frame's menus: the application's style, with disabled items that can be highlighted.

#include "MenuStyle.h"

#include <QApplication>
#include <QProxyStyle>

namespace {

class DisabledItemsHighlight final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Menu_AllowActiveAndDisabled)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QStyle* MenuStyle()
{
    // One for the process: menus come and go with their frames, and a style
    // must outlive every widget that uses it.
    static QStyle* const style = new DisabledItemsHighlight(QApplication::style()->name());
    return style;
}
