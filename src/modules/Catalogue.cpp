// The pages built so far, by their path in the function tree. The frame puts a folder
// node with the caption wherever this returns null.
#include "Module.h"

#include <QWidget>

TModule* CreateCataloguePage(const QString&, QWidget*)
{
    return nullptr;
}
