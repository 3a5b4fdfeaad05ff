#pragma once
// The about box; its "帮助" button opens the HTML user manual in the desktop's viewer.

#include <QDialog>
#include <QUrl>

#include <functional>

namespace Ui {
class Help;
}

class Help : public QDialog
{
    Q_OBJECT

public:
    explicit Help(QWidget *parent = nullptr);
    ~Help() override;

    // The index.html of the manual of the language ("中文" or else English): the installed one, or
    // else a copy written out of the program's resources into a private folder; empty on failure.
    static QString manualPath(const QString &language);

    // How a URL is opened (the desktop's default viewer unless a test replaces it).
    static std::function<bool(const QUrl &)> openUrl;

private slots:
    void pt_Help_clicked();
    void pt_OK_clicked();

private:
    Ui::Help *ui;
};
