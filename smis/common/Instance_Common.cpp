#include "Instance_Common.h"

namespace cimple {

int Instance_Common::icFirstCommonProcess(VELDARO_RefTable* table)
{
    const int result = FirstCommonProcess(table);
    return result == 1 || result == 2 ? result : 0;
}

int Instance_Common::checkGetInstanceResult(int result)
{
    return result == 1 || result == 2 ? GET_INSTANCE_NOT_FOUND : GET_INSTANCE_OK;
}

int Instance_Common::checkEnumInstanceResult(int result)
{
    return result == 1 ? ENUM_INSTANCES_FAILED : ENUM_INSTANCES_OK;
}

}  // namespace cimple
