#pragma once
// The probe layout diagrams: the list of saved layouts, the picture of the chosen one, new and
// delete.

#include <QPixmap>
#include <QWidget>

#include <memory>

namespace Ui {
class Layout;
}

class Layout : public QWidget
{
    Q_OBJECT

public:
    explicit Layout(QWidget *parent = nullptr);
    ~Layout() override;

    QString shownName() const { return m_name; }
    const QPixmap &picture() const { return m_picture; }

public slots:
    // Opens the editor of a new layout (window-modal: its drawing window must stay clickable).
    void pt_Add_clicked();
    void pt_Delete_clicked();
    // A double click on a row: shows that layout.
    void pt_TableWidget_clicked(int row, int column);
    // A layout the editor has saved.
    void sp_Image_slots(const QString &name, const QPixmap &picture);

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Fills the list; returns the names in their stored order.
    QStringList refreshList();
    // Reads the layout and shows its name, points and picture (the stored one unless picture is
    // given); an empty name shows none.
    void showLayout(const QString &name, const QPixmap &picture = QPixmap());
    // Shows the layout that has become the highlighted one; audited as viewed.
    void openLayout(const QString &name);
    void showDetails(const QString &pointCount);
    void showPicture();

    std::unique_ptr<Ui::Layout> ui;
    QString m_name;
    QString m_pointCount;
    QPixmap m_picture;
    QString m_pictureProblem;   // why the stored picture is not shown
};
