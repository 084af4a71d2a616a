#include "catalog/Catalog.h"

namespace Catalog {

WheelOptions actionOptions(const Paths&)
{
    return {};
}

}
