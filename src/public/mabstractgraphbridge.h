#pragma once

#include "talmer_export.h"

// Implemented by the host so that a graph view can ask the host's drawing window
// about the drawing that is open there. A plain, copyable interface.
class TALMER_EXPORT MAbstractGraphBridge
{
public:
    MAbstractGraphBridge() = default;
    MAbstractGraphBridge(const MAbstractGraphBridge&) = default;
    MAbstractGraphBridge& operator=(const MAbstractGraphBridge&) = default;
    virtual ~MAbstractGraphBridge();

    // True when the open drawing has unsaved changes. The default has none.
    virtual bool GraphIsDirty();
};
