#include <QtTest>

#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "popupdriver.h"
#include "testmain.h"

class tst_PopupDriver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Guards against a box opened by the answer to another going unseen, which would hang the step.
    void answersBoxesInOrderIncludingOnesOpenedByAnAnswer()
    {
        QWidget parent;
        parent.show();
        QMessageBox::StandardButton first = QMessageBox::NoButton;
        PopupDriver popups;
        const QString error = popups.Run(
            [&] {
                first = QMessageBox::question(&parent, "t", "increase?", QMessageBox::Yes | QMessageBox::No);
                if (first == QMessageBox::Yes)
                    QMessageBox::information(&parent, "t", "done");
            },
            [](QWidget* popup) -> QString {
                auto* box = qobject_cast<QMessageBox*>(popup);
                if (!box)
                    return "not a box";
                QAbstractButton* yes = box->button(QMessageBox::Yes);
                (yes ? yes : box->button(QMessageBox::Ok))->click();
                return {};
            });
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(first, QMessageBox::Yes);
        QCOMPARE(popups.Seen(), QStringList({"QMessageBox: increase?", "QMessageBox: done"}));
    }

    // Guards against a popup the handler leaves open, or refuses, blocking the step or passing unreported.
    void refusedOrUnansweredPopupIsClosedAndReported()
    {
        QWidget parent;
        parent.show();
        PopupDriver popups;
        const QString error = popups.Run(
            [&] {
                QMenu menu(&parent);
                menu.addAction("release picture");
                menu.addAction("delete picture");
                menu.exec(parent.mapToGlobal(QPoint(10, 10)));
                QMessageBox::warning(&parent, "t", "unexpected");
            },
            [](QWidget* popup) -> QString {
                return qobject_cast<QMenu*>(popup) ? QString() : "refused " + PopupDriver::Describe(popup);
            });
        QCOMPARE(error, QString("refused QMessageBox: unexpected"));
        QCOMPARE(popups.Seen(), QStringList({"QMenu: release picture | delete picture", "QMessageBox: unexpected"}));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!QApplication::activePopupWidget());
    }
};

TALMER_TEST_MAIN(tst_PopupDriver)
#include "tst_popupdriver.moc"
