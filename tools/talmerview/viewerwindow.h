#pragma once

#include "hostwindow.h"

class MAbstractIconViewOnline;

// The online viewer host: the library's online graph view docked on the left,
// the opened version drawn in the middle, the icon palette docked on the
// right (both views from the widget factory).
class ViewerWindow : public HostWindow
{
    Q_OBJECT

public:
    explicit ViewerWindow(QWidget* parent = nullptr);

    MAbstractIconViewOnline* IconPalette() const { return m_iconPalette; }

public Q_SLOTS:
    void OpenGraph(const QString& app, const QString& pic, int edition);

private:
    MAbstractIconViewOnline* m_iconPalette; // in the right dock
};
