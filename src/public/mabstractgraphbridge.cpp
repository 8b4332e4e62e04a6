#include "mabstractgraphbridge.h"

MAbstractGraphBridge::~MAbstractGraphBridge() = default;

bool MAbstractGraphBridge::GraphIsDirty()
{
    return false;
}
