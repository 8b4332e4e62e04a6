#include "mabstractdbinterface.h"

MAbstractDBInterface::~MAbstractDBInterface() = default;
