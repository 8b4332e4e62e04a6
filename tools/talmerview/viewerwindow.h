#pragma once

#include "hostwindow.h"

// The online viewer host: the library's online graph view (from the widget
// factory) docked on the left, the opened version drawn on the right.
class ViewerWindow : public HostWindow
{
    Q_OBJECT

public:
    explicit ViewerWindow(QWidget* parent = nullptr);

public Q_SLOTS:
    void OpenGraph(const QString& app, const QString& pic, int edition);
};
