#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class MIconTemplate;

// The looks of one icon of the icon library: every display pattern of its file
// drawn side by side, each under its pattern's name, on the drawings' dark
// ground (the patterns' colours are chosen for it).
class IconLooksPanel : public QWidget
{
    Q_OBJECT

public:
    explicit IconLooksPanel(QWidget* parent = nullptr);
    ~IconLooksPanel() override;

    // Shows the icon whose file is path; false (and nothing shown) when the
    // file does not read as an icon, error then says why.
    bool ShowIcon(const QString& type, const QString& name, const QString& uuid, const QString& path,
                  QString& error);
    // Stops showing the icon when it is the one shown.
    void CloseIcon(const QString& type, const QString& uuid);
    // Follows a rename of the icon shown (others are left alone).
    void RenameIcon(const QString& type, const QString& uuid, const QString& name);

    bool IsShowing(const QString& type, const QString& uuid) const;
    QString Title() const;
    // The pattern names, in file order; empty when no icon is shown.
    QStringList LookNames() const;
    // Where look i is drawn (its square, without the name below it).
    QRect LookRect(int i) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int columns() const;

    std::unique_ptr<MIconTemplate> m_icon; // the file shown; null when none
    QString m_type, m_uuid, m_name;
};
