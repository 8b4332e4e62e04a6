#include "mabstracttemplateview.h"

MAbstractTemplateView::MAbstractTemplateView(QWidget* parent)
    : QWidget(parent)
{
}

MAbstractTemplateView::~MAbstractTemplateView() = default;
