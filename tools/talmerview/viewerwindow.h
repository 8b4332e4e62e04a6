#pragma once

#include "hostwindow.h"

class MGraphViewOnline;

// The online viewer host: the library's online graph view docked on the
// left, the opened version drawn on the right.
class ViewerWindow : public HostWindow
{
    Q_OBJECT

public:
    explicit ViewerWindow(QWidget* parent = nullptr);

    MGraphViewOnline* GraphView() const { return m_view; }

public Q_SLOTS:
    void OpenGraph(const QString& app, const QString& pic, int edition);

private:
    MGraphViewOnline* m_view; // in the dock
};
