#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace SiteGen {

// A small but complete library for demos and hand testing, written through the
// library's own services into the configured HMI database, deployment tree and
// file server (TALMER_HMI_DB, TALMER_DEPLOY_DIR, TALMER_FILE_SERVER must be set
// before anything in the process touches them):
//
// - node "node1" with the applications SCADA, DMS and PAS, picture types of the
//   codes 2 (station), 9 (feeder) and 8 (overview), pictures with Chinese and
//   Latin names, each with a draft and two released versions made from the
//   engine's sample drawings, with privilege codes and areas;
// - icon types in all four categories with the sample icons, defaults and
//   common icons; the template type "style_template" with its templates;
// - the users "admin" and "operator" with random passwords, functions and areas;
// - global defines, translations, Pinyin words, the equipment table of the
//   drawings and the graph option files as synchronised configuration files.
class SampleSite
{
public:
    bool build();
    QString error() const { return m_error; }
    // (user, password) of the users made, for telling the administrator once.
    QList<QPair<QString, QString>> users() const { return m_users; }

    // The option files the sample site writes below etc/mmi/.
    static QString OptionFileName() { return QStringLiteral("graph_options.txt"); }
    static QString ListFileName() { return QStringLiteral("graph_white.txt"); }

private:
    bool addDictionary();
    bool addPictures();
    bool addPicture(const QString& application, const QString& type, const QString& name, const QString& sample);
    bool datePictureVersions(const QString& application, const QString& picture);
    bool addIcons();
    bool addTemplates();
    bool addUsers();
    bool addOptionFiles();
    bool addEquipment(const QString& sample);
    bool fail(const QString& message);

    QString m_work; // scratch folder for drawings on their way in
    QString m_error;
    QList<QPair<QString, QString>> m_users;
};

} // namespace SiteGen
