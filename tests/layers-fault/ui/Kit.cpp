// A widget that reaches up into a page: the check must refuse it.
#include "pages/Page.h"
