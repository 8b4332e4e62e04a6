#pragma once

#include <QHBoxLayout>
#include <QPushButton>

namespace EditDialogs {

// The "Ok" and "Cancel" buttons of the library dialogs, right-aligned and
// connected to the dialog's OkClicked() and CancelClicked() slots. Ok is the
// default button; the buttons are named "okButton" and "cancelButton".
template <typename Dialog>
QHBoxLayout* OkCancelRow(Dialog* dialog)
{
    auto* ok = new QPushButton(Dialog::tr("Ok"));
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton(Dialog::tr("Cancel"));
    cancel->setObjectName("cancelButton");
    QObject::connect(ok, &QPushButton::clicked, dialog, &Dialog::OkClicked);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &Dialog::CancelClicked);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace EditDialogs
