#pragma once

#include "graphcanvas.h"
#include "mabstractgraphbridge.h"

// Tells the editor view whether the drawing on the canvas has unsaved changes.
class CanvasBridge : public MAbstractGraphBridge
{
public:
    explicit CanvasBridge(const GraphCanvas* canvas) : m_canvas(canvas) {}
    bool GraphIsDirty() override { return m_canvas->IsDirty(); }

private:
    const GraphCanvas* m_canvas; // not owned: the window's canvas
};
