// The resource provider: hands the window layer every table this program defines.

#include "resources/Resources.h"

const ResourceProvider& GetResourceProvider()
{
    static const ResourceProvider provider{
        &LoadMenuResource, &LoadAcceleratorResource, &LoadToolBarResource, &LoadBitmapResource,
        &LoadIconResource, &LoadResourceString,      &LoadDialogResource,
    };
    return provider;
}
