#include "mabstracticonviewonline.h"

MAbstractIconViewOnline::MAbstractIconViewOnline(QWidget* parent, Qt::WindowFlags f)
    : QWidget(parent, f)
{
}

MAbstractIconViewOnline::~MAbstractIconViewOnline() = default;
