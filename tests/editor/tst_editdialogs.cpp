#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "maddapplicationdlg.h"
#include "maddpictypedlg.h"
#include "mcustominputdialog.h"
#include "mdbrecords.h"
#include "mhmiadmin.h"
#include "testmain.h"
#include "testsite.h"

class tst_EditDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestSite> m_site;

    template <typename T>
    static T* child(QWidget* dialog, const char* name)
    {
        T* found = dialog->findChild<T*>(name);
        if (!found)
            qWarning("no child %s", name);
        return found;
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void addApplicationNamesTheRecord_data();
    void addApplicationNamesTheRecord();
    void addPictypeShowsTheCode_data();
    void addPictypeShowsTheCode();
    void substationFieldTakesThePictureName_data();
    void substationFieldTakesThePictureName();
    void feederLabel();
};

void tst_EditDialogs::init()
{
    m_site = std::make_unique<TestSupport::TestSite>();
    QVERIFY(MHmiAdmin::AddApplication("SCADA", QString::fromUtf8("数据采集"), true));
    QVERIFY(MHmiAdmin::AddApplication("DMS", "distribution", false));
    QVERIFY(MHmiAdmin::AddPictureType("station", 2));
    QVERIFY(MHmiAdmin::AddPictureType("feeder", 9));
    QVERIFY(MHmiAdmin::AddPictureType("bay", 300)); // codes are stored in 8 bits
}

void tst_EditDialogs::cleanup()
{
    m_site.reset();
}

void tst_EditDialogs::addApplicationNamesTheRecord_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("ok");
    QTest::newRow("first entry") << "SCADA" << true;
    QTest::newRow("second entry") << "DMS" << true;
    QTest::newRow("cancel") << "DMS" << false;
}

void tst_EditDialogs::addApplicationNamesTheRecord()
{
    // Guards against the record named by another entry than the chosen one, or named on cancel.
    QFETCH(QString, choice);
    QFETCH(bool, ok);
    MDBRecordApplication record;
    record.name = "untouched";
    MAddApplicationDlg dialog(&record);
    QCOMPARE(dialog.windowTitle(), QString("apps"));
    auto* combo = child<QComboBox>(&dialog, "appCombo");
    QVERIFY(combo);
    QCOMPARE(combo->count(), 2);
    combo->setCurrentText(choice);
    child<QPushButton>(&dialog, ok ? "okButton" : "cancelButton")->click();
    QCOMPARE(dialog.result(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(record.name, ok ? choice : QString("untouched"));
}

void tst_EditDialogs::addPictypeShowsTheCode_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("stored");
    QTest::newRow("station") << "station" << "2" << 2;
    QTest::newRow("feeder") << "feeder" << "9" << 9;
    QTest::newRow("code beyond 8 bits") << "bay" << "300" << 44;
}

void tst_EditDialogs::addPictypeShowsTheCode()
{
    // Guards against a code field that does not follow the chosen type, is editable, or is stored wrongly.
    QFETCH(QString, choice);
    QFETCH(QString, shown);
    QFETCH(int, stored);
    MDBRecordPicType record;
    MAddPictypeDlg dialog(&record);
    QCOMPARE(dialog.windowTitle(), QString("picture types"));
    auto* combo = child<QComboBox>(&dialog, "typeCombo");
    auto* code = child<QLineEdit>(&dialog, "codeEdit");
    QVERIFY(combo && code);
    QVERIFY(code->isReadOnly());
    QCOMPARE(code->text(), QString("300")); // the first type in name order: bay
    combo->setCurrentText(choice);
    QCOMPARE(code->text(), shown);
    child<QPushButton>(&dialog, "cancelButton")->click();
    QVERIFY(record.name.isEmpty());
    child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(record.name, choice);
    QCOMPARE(int(record.picTypeCode), stored);
}

void tst_EditDialogs::substationFieldTakesThePictureName_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty field") << "" << "P1";
    QTest::newRow("only blanks") << "   " << "P1";
    QTest::newRow("typed station kept") << "S9" << "S9";
}

void tst_EditDialogs::substationFieldTakesThePictureName()
{
    // Guards against the substation field losing what was typed, or not filled when entered empty.
    QFETCH(QString, before);
    QFETCH(QString, after);
    MCustomInputDialog dialog;
    auto* picture = child<QLineEdit>(&dialog, "pictureNameEdit");
    auto* station = child<QLineEdit>(&dialog, "substationNameEdit");
    QVERIFY(picture && station);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    picture->setFocus();
    QTRY_VERIFY(picture->hasFocus());
    QTest::keyClicks(picture, "P1");
    station->setText(before);
    QCOMPARE(station->text(), before); // nothing happens before the focus moves
    station->setFocus();
    QTRY_VERIFY(station->hasFocus());
    QCOMPARE(station->text(), after);
    QCOMPARE(dialog.PictureName(), QString("P1"));
    QCOMPARE(dialog.SubstationName(), after);
    child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void tst_EditDialogs::feederLabel()
{
    // Guards against the second row keeping its substation label when a feeder is asked.
    MCustomInputDialog dialog;
    auto* label = child<QLabel>(&dialog, "substationLabel");
    QVERIFY(label);
    QCOMPARE(label->text(), QString("substation name:"));
    dialog.SetSubstationLabel("feeder name:");
    QCOMPARE(label->text(), QString("feeder name:"));
    child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

TALMER_TEST_MAIN(tst_EditDialogs)
#include "tst_editdialogs.moc"
