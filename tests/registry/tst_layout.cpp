// Layout pages: the editor's refusals, the drawing window (opened, clicked, closed, picture in the
// dialog), saving with its checks, and the list page with its picture, view, delete and rights.

#include "registrytest.h"

#include "app/messages.h"
#include "calibration/Calibration.h"
#include "registry/Layout.h"
#include "registry/LayoutAdd.h"
#include "registry/LayoutWindow.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

#include <opencv2/highgui.hpp>

#include <memory>

namespace {

QList<Tool::Struct_Layout> stored(const QString &name = QString())
{
    QList<Tool::Struct_Layout> list;
    Tool::getLayout(list, name);
    return list;
}

// A layout of a 12 × 8 block with the given wells (row-major indexes) marked, stored.
bool storeLayout(const QString &name, const QVector<int> &wells)
{
    LayoutSketch sketch;
    sketch.reset(12, 8);
    for (int w : wells)
        sketch.setMarked(w, true);
    return Tool::addLayout(sketch.record(name));
}

// The open drawing window, as the user sees it.
QWidget *drawingWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qstrcmp(w->metaObject()->className(), "CvWindow") == 0
            && w->objectName() == QLatin1String(LayoutWindow::Name) && w->isVisible())
            return w;
    return nullptr;
}

// The user closes the drawing window with its title bar button.
void closeDrawingWindow()
{
    if (QWidget *w = drawingWindow())
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A left click by the handler, as OpenCV delivers it.
void click(LayoutAdd &editor, const QPoint &p)
{
    LayoutAdd::mouse_callback(cv::EVENT_LBUTTONDOWN, p.x(), p.y(), cv::EVENT_FLAG_LBUTTON, &editor);
}

// Presses "保存" and waits until the picture has been written and the save has ended (a
// dialog that deletes itself on closing may be gone by then).
bool save(LayoutAdd *editor)
{
    const QPointer<LayoutAdd> alive(editor);
    editor->findChild<QPushButton *>(QStringLiteral("pushButton_Save"))->click();
    return QTest::qWaitFor([alive] { return !alive || !alive->isSaving(); });
}

QPoint centre(int row, int column)
{
    return QPoint(75 + (column - 1) * 50, 75 + (row - 1) * 50);
}

} // namespace

class TestLayoutPages : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        PCR_SERVER_RUN_CHECK();
        QVERIFY(enterFreshWorkspace(ws));
    }
    void cleanup()
    {
        LayoutWindow::close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ws.reset();
    }

    void badHoleCountsAreRefusedBeforeDrawing_data()
    {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("message");
        const QString longer = QStringLiteral("长的孔数须为1到48之间的整数！");
        const QString wider = QStringLiteral("宽的孔数须为1到32之间的整数！");
        QTest::newRow("zero columns") << "0" << "8" << longer;
        QTest::newRow("negative rows") << "12" << "-8" << wider;
        QTest::newRow("not whole") << "12.5" << "8" << longer;
        QTest::newRow("49 columns") << "49" << "8" << longer;
        QTest::newRow("33 rows") << "12" << "33" << wider;
        QTest::newRow("gigabytes") << "100000" << "100000" << longer;
    }
    void badHoleCountsAreRefusedBeforeDrawing()
    {
        QFETCH(QString, columns);
        QFETCH(QString, rows);
        QFETCH(QString, message);
        MessageRecorder rec;
        FormOf<LayoutAdd> e;
        e.edit("lineEdit_WideNumber")->setText(columns);
        e.edit("lineEdit_LongNumber")->setText(rows);
        e.button("pushButton_OK")->click();
        QCOMPARE(rec.texts(), QStringList({message}));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QVERIFY(!e.page->sketch().isCreated());
        QVERIFY(!LayoutWindow::isOpen());
        QVERIFY(!e.page->isWatching());
    }

    // A user draws a 96-well layout with 16 probes in the window, closes it and saves.
    void drawInTheWindowCloseAndSave()
    {
        MessageRecorder rec;
        FormOf<LayoutAdd> e;
        e.button("pushButton_OK")->click();   // the default 12 × 8
        QVERIFY(rec.isEmpty());
        QVERIFY(LayoutWindow::isOpen());
        QWidget *window = drawingWindow();
        QVERIFY(window);
        QVERIFY(e.page->isWatching());
        QCOMPARE(e.page->sketch().grid().wellCount(), 96);

        // One click the way a user gives it, through the window itself.
        auto *view = window->findChild<QAbstractScrollArea *>();
        QVERIFY(view);
        // Sized to the drawing (once its posted layout requests are through): window pixels are
        // drawing pixels.
        QTRY_COMPARE(view->viewport()->size(), QSize(700, 500));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre(1, 1));
        QCOMPARE(e.page->sketch().markedCount(), 1);

        // The rest through the handler: the 16 wells of a demo-style layout, one clicked twice
        // and a click between two wells that marks neither.
        const QVector<QPoint> wells = {centre(8, 12), centre(1, 6), centre(1, 7), centre(1, 12), centre(3, 3),
                                       centre(3, 10), centre(4, 1), centre(4, 12), centre(5, 1), centre(5, 12),
                                       centre(6, 3), centre(6, 10), centre(8, 1), centre(8, 6), centre(8, 7)};
        for (const QPoint &p : wells)
            click(*e.page, p);
        click(*e.page, centre(2, 2));
        click(*e.page, centre(2, 2) + QPoint(3, 3));
        click(*e.page, centre(2, 2) + QPoint(25, 0));
        LayoutAdd::mouse_callback(cv::EVENT_MOUSEMOVE, 175, 175, 0, e.page.get());
        QCOMPARE(e.page->sketch().markedCount(), 16);
        QCOMPARE(e.label("label_Count")->text(), QStringLiteral("已标记孔位：16 / 96"));

        // While the window is open the watch leaves the dialog alone.
        e.page->time_update();
        QVERIFY(e.page->picture().isNull());
        QVERIFY(e.page->isWatching());

        closeDrawingWindow();
        QVERIFY(!LayoutWindow::isOpen());
        e.page->time_update();
        QVERIFY(!e.page->isWatching());
        QCOMPARE(e.page->picture().size(), QSize(700, 500));
        QVERIFY(!e.label("label_Image")->pixmap(Qt::ReturnByValue).isNull());
        // The marks stay for the save.
        QCOMPARE(e.page->sketch().markedCount(), 16);

        QSignalSpy saved(e.page.get(), &LayoutAdd::sp_Image_signals);
        e.edit("lineEdit_Name")->setText(QStringLiteral("96孔16点"));
        e.page->show();
        e.button("pushButton_Save")->click();
        // The picture is written on a worker; meanwhile the dialog stays and takes no second save.
        QVERIFY(e.page->isSaving());
        QVERIFY(!e.button("pushButton_Save")->isEnabled());
        e.page->reject();
        QVERIFY(e.page->isVisible());
        QVERIFY(QTest::qWaitFor([&] { return !e.page->isSaving(); }));
        QCOMPARE(rec.texts(), QStringList({"保存成功!"}));
        QCOMPARE(rec.last().title, QStringLiteral("提示"));
        QVERIFY(!e.page->isVisible());
        QCOMPARE(saved.count(), 1);
        QCOMPARE(saved.first().at(0).toString(), QStringLiteral("96孔16点"));
        QCOMPARE(saved.first().at(1).value<QPixmap>().size(), QSize(700, 500));

        const Tool::Struct_Layout row = stored(QStringLiteral("96孔16点")).value(0);
        QCOMPARE(row.PointCount, QStringLiteral("16"));
        QCOMPARE(row.Points, QStringLiteral("1:1,1:6,1:7,1:12,3:3,3:10,4:1,4:12,5:1,5:12,6:3,6:10,8:1,8:6,8:7,8:12"));
        QCOMPARE(LayoutDrawing::decodePicture(row.Image).pixelColor(centre(2, 2)), QColor(Qt::white));
        QCOMPARE(lastAudit().Type, QStringLiteral("布点图管理-添加"));
        QCOMPARE(lastAudit().Details, QStringLiteral("添加布点图：96孔16点"));

        // The calibration page offers it.
        Calibration calibration;
        QVERIFY(part<QComboBox>(&calibration, "comboBox_Layout")->findText(QStringLiteral("96孔16点")) >= 0);
    }

    void savingChecksNameGridAndDuplicates()
    {
        QVERIFY(storeLayout(QStringLiteral("已有"), {0}));
        MessageRecorder rec;
        FormOf<LayoutAdd> e;
        e.button("pushButton_Save")->click();
        e.edit("lineEdit_Name")->setText(QStringLiteral("  "));
        e.button("pushButton_Save")->click();
        e.edit("lineEdit_Name")->setText(QStringLiteral("新的"));
        e.button("pushButton_Save")->click();
        QCOMPARE(rec.texts(), QStringList({"名称不能为空!", "名称不能为空!", "请先创建布点图!"}));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        rec.clear();

        e.edit("lineEdit_WideNumber")->setText(QStringLiteral("5"));
        e.edit("lineEdit_LongNumber")->setText(QStringLiteral("3"));
        e.button("pushButton_OK")->click();
        click(*e.page, QPoint(230, 132));
        const int audits = auditCount();
        e.edit("lineEdit_Name")->setText(QStringLiteral("已有"));
        e.button("pushButton_Save")->click();
        QCOMPARE(rec.texts(), QStringList({"布点图名称已存在，请使用其他名称！"}));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QCOMPARE(stored().size(), 1);
        QCOMPARE(stored().first().Points, QStringLiteral("1:1"));
        QCOMPARE(auditCount(), audits);
        // The window is still open: saving from it takes the drawing as it stands.
        QVERIFY(LayoutWindow::isOpen());
        rec.clear();

        e.edit("lineEdit_Name")->setText(QStringLiteral(" O'Brien, 5×3 "));
        QVERIFY(save(e.page.get()));
        QCOMPARE(rec.texts(), QStringList({"保存成功!"}));
        const QList<Tool::Struct_Layout> rows = stored(QStringLiteral("O'Brien, 5×3"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().Points, QStringLiteral("3:5"));
        QCOMPARE(LayoutDrawing::decodePicture(rows.first().Image).size(), QSize(300, 200));
        // Saving closed the drawing window with the dialog.
        QVERIFY(!LayoutWindow::isOpen());
    }

    void redrawingStartsAFreshGridAndClosingTheEditorClosesTheWindow()
    {
        MessageRecorder rec;
        auto editor = std::make_unique<LayoutAdd>();
        editor->findChild<QPushButton *>("pushButton_OK")->click();
        click(*editor, centre(1, 1));
        QCOMPARE(editor->sketch().markedCount(), 1);
        editor->findChild<QLineEdit *>("lineEdit_WideNumber")->setText(QStringLiteral("24"));
        editor->findChild<QLineEdit *>("lineEdit_LongNumber")->setText(QStringLiteral("16"));
        editor->findChild<QPushButton *>("pushButton_OK")->click();
        QCOMPARE(editor->sketch().grid().wellCount(), 384);
        QCOMPARE(editor->sketch().markedCount(), 0);
        QVERIFY(LayoutWindow::isOpen());
        // 1300 × 900 does not fit the 800 × 600 test screen: shown smaller, clicks still land on
        // their well (B3).
        QWidget *drawing = drawingWindow();
        QVERIFY(drawing);
        auto *view = drawing->findChild<QAbstractScrollArea *>()->viewport();
        QTRY_VERIFY(view->width() > 100 && view->width() < 800);
        const double scale = view->width() / 1300.0;
        QTest::mouseClick(drawing->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          view->mapTo(drawing, QPoint(int(175 * scale), int(125 * scale))));
        QCOMPARE(editor->sketch().pointsText(), QStringLiteral("2:3"));

        // Rejecting the dialog takes the window along; so does destroying it.
        editor->reject();
        QVERIFY(!LayoutWindow::isOpen());
        editor->findChild<QPushButton *>("pushButton_OK")->click();
        QVERIFY(LayoutWindow::isOpen());
        editor.reset();
        QVERIFY(!LayoutWindow::isOpen());
        QVERIFY(rec.isEmpty());
    }

    void pageShowsTheLastLayoutAndViewsAnother()
    {
        QVERIFY(storeLayout(QStringLiteral("第一"), {0, 1}));
        QVERIFY(storeLayout(QStringLiteral("第二"), {95}));
        MessageRecorder rec;
        Layout page;
        page.resize(940, 623);
        QTableWidget *table = part<QTableWidget>(&page, "tableWidget");
        QCOMPARE(columnTexts(table, 0), QStringList({"第一", "第二"}));
        QCOMPARE(page.shownName(), QStringLiteral("第二"));
        QCOMPARE(part<QLineEdit>(&page, "lineEdit_Name")->text(), QStringLiteral("第二"));
        QCOMPARE(page.picture().size(), QSize(700, 500));
        QCOMPARE(page.picture().toImage().pixelColor(centre(8, 12)), QColor(Qt::black));
        QCOMPARE(part<QLabel>(&page, "label_Points")->text(), QStringLiteral("探头点数：1"));

        const int audits = auditCount();
        page.pt_TableWidget_clicked(0, 0);
        QCOMPARE(page.shownName(), QStringLiteral("第一"));
        QCOMPARE(page.picture().toImage().pixelColor(centre(1, 2)), QColor(Qt::black));
        QCOMPARE(auditCount(), audits + 1);
        QCOMPARE(lastAudit().Type, QStringLiteral("布点图管理-查看"));
        QCOMPARE(lastAudit().Details, QStringLiteral("查看布点图：第一"));
        QVERIFY(rec.isEmpty());
    }

    void pictureIsStretchedToTheLabelOnEveryResize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("designed size") << QSize(940, 623);
        QTest::newRow("wide") << QSize(1500, 600);
        QTest::newRow("tall") << QSize(900, 1000);
    }
    void pictureIsStretchedToTheLabelOnEveryResize()
    {
        QVERIFY(storeLayout(QStringLiteral("图"), {0}));
        QFETCH(QSize, size);
        Layout page;
        page.resize(size);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QLabel *label = part<QLabel>(&page, "label");
        QCOMPARE(label->pixmap(Qt::ReturnByValue).size(), label->contentsRect().size());
    }

    void pageWithoutLayoutsAndWithADamagedPicture()
    {
        MessageRecorder rec;
        {
            Layout page;
            QCOMPARE(part<QTableWidget>(&page, "tableWidget")->rowCount(), 0);
            QVERIFY(page.shownName().isEmpty());
            page.pt_Delete_clicked();
            QCOMPARE(rec.texts(), QStringList({"请先选择布点图！"}));
        }
        Tool::Struct_Layout damaged;
        damaged.Name = QStringLiteral("坏图");
        damaged.PointCount = QStringLiteral("1");
        damaged.Points = QStringLiteral("1:1");
        damaged.Image = QStringLiteral("not a picture");
        QVERIFY(Tool::addLayout(damaged));
        Layout page;
        QCOMPARE(page.shownName(), QStringLiteral("坏图"));
        QVERIFY(page.picture().isNull());
        QCOMPARE(part<QLabel>(&page, "label")->text(), QStringLiteral("该布点图没有可显示的图片。"));
    }

    // A stored picture is decoded only when its header declares at most 8192 pixels a side; the
    // pages say why one is not shown. The first row is a PNG header without pixel data, the way a
    // hostile row declares 60000 × 60000 without its gigabytes.
    void oversizedPicturesAreRefusedBeforeDecoding_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<int>("status");
        QTest::addColumn<QSize>("declared");
        using S = LayoutDrawing::StoredPicture::Status;
        const auto real = [](int w, int h) { return LayoutDrawing::encodePicture(QImage(w, h, QImage::Format_RGB888)); };
        QTest::newRow("60000 x 60000") << "AAAAAYlQTkcNChoKAAAADUlIRFIAAOpgAADqYAgCAAAAD7DiFQAAAABJREFUNa8GHgAAAABJRU5ErkJggg=="
                                       << int(S::TooLarge) << QSize(60000, 60000);
        QTest::newRow("too wide") << real(8193, 1) << int(S::TooLarge) << QSize(8193, 1);
        QTest::newRow("at the limit") << real(8192, 2) << int(S::Ok) << QSize(8192, 2);
    }
    void oversizedPicturesAreRefusedBeforeDecoding()
    {
        QFETCH(QString, image);
        QFETCH(int, status);
        QFETCH(QSize, declared);
        const LayoutDrawing::StoredPicture read = LayoutDrawing::readPicture(image);
        QCOMPARE(int(read.status), status);
        QCOMPARE(read.declared, declared);
        QCOMPARE(LayoutDrawing::decodePicture(image).size(), status == int(LayoutDrawing::StoredPicture::Status::Ok) ? declared : QSize(0, 0));
        if (status != int(LayoutDrawing::StoredPicture::Status::TooLarge))
            return;
        QVERIFY(Tool::addLayout({QStringLiteral("巨图"), QStringLiteral("16"), QString(), image}));
        Layout page;
        QVERIFY(page.picture().isNull());
        QCOMPARE(part<QLabel>(&page, "label")->text(),
                 QStringLiteral("布点图图片过大（%1×%2像素），未显示。").arg(declared.width()).arg(declared.height()));
        Calibration calibration;
        part<QComboBox>(&calibration, "comboBox_Layout")->setCurrentText(QStringLiteral("巨图"));
        QCOMPARE(calibration.layoutPreview()->text(), QStringLiteral("图片过大"));
    }

    void deleteAsksFirstAndShowsAnotherLayout()
    {
        QVERIFY(storeLayout(QStringLiteral("甲"), {0}));
        QVERIFY(storeLayout(QStringLiteral("乙"), {1}));
        MessageRecorder rec;
        Layout page;
        const int audits = auditCount();
        rec.answerNext(QMessageBox::No);
        part<QPushButton>(&page, "pushButton_Delete")->click();
        QCOMPARE(rec.texts(), QStringList({"是否删除布点图：乙?"}));
        QCOMPARE(rec.last().title, QStringLiteral("提示"));
        QCOMPARE(stored().size(), 2);
        QCOMPARE(auditCount(), audits);

        QCOMPARE(rec.last().defaultButton, QMessageBox::No);

        // A single click shows the layout it highlights, and a delete asks for that one.
        part<QTableWidget>(&page, "tableWidget")->selectRow(0);
        QCOMPARE(page.shownName(), QStringLiteral("甲"));
        QCOMPARE(lastAudit().Details, QStringLiteral("查看布点图：甲"));
        rec.answerNext(QMessageBox::Yes);
        part<QPushButton>(&page, "pushButton_Delete")->click();
        QCOMPARE(rec.last().text, QStringLiteral("是否删除布点图：甲?"));
        QCOMPARE(stored().size(), 1);
        QCOMPARE(columnTexts(part<QTableWidget>(&page, "tableWidget"), 0), QStringList({"乙"}));
        QCOMPARE(page.shownName(), QStringLiteral("乙"));
        QCOMPARE(lastAudit().Type, QStringLiteral("布点图管理-删除"));
        QCOMPARE(lastAudit().Details, QStringLiteral("删除布点图：甲"));
    }

    void newLayoutArrivesInThePage()
    {
        QVERIFY(storeLayout(QStringLiteral("旧"), {0}));
        MessageRecorder rec;
        QWidget window;
        auto *page = new Layout(&window);
        window.show();
        part<QPushButton>(page, "pushButton_NewBuilt")->click();
        auto *editor = page->findChild<LayoutAdd *>();
        QVERIFY(editor);
        // Window-modal: the drawing window, a window of its own, stays clickable.
        QCOMPARE(editor->windowModality(), Qt::WindowModal);
        QVERIFY(editor->isVisible());
        QPointer<LayoutAdd> alive(editor);
        part<QPushButton>(editor, "pushButton_OK")->click();
        // A click as the window system delivers it, through the modality check: the main window
        // is blocked, the drawing window is not.
        QWidget *drawing = drawingWindow();
        QVERIFY(drawing);
        auto *view = drawing->findChild<QAbstractScrollArea *>()->viewport();
        QTRY_COMPARE(view->size(), QSize(700, 500));
        QTest::mouseClick(drawing->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          view->mapTo(drawing, centre(2, 3)));
        QCOMPARE(editor->sketch().markedCount(), 1);
        closeDrawingWindow();
        editor->time_update();
        part<QLineEdit>(editor, "lineEdit_Name")->setText(QStringLiteral("新"));
        QVERIFY(save(editor));
        QCOMPARE(rec.texts(), QStringList({"保存成功!"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!alive);   // closed and gone
        QCOMPARE(columnTexts(part<QTableWidget>(page, "tableWidget"), 0), QStringList({"旧", "新"}));
        QCOMPARE(page->shownName(), QStringLiteral("新"));
        QCOMPARE(part<QLineEdit>(page, "lineEdit_Name")->text(), QStringLiteral("新"));
        QCOMPARE(page->picture().toImage().pixelColor(centre(2, 3)), QColor(Qt::black));
    }

    void rightsEnableTheButtons_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("remove");
        QTest::newRow("add only") << true << false;
        QTest::newRow("delete only") << false << true;
    }
    void rightsEnableTheButtons()
    {
        QFETCH(bool, add);
        QFETCH(bool, remove);
        Tool::CurrentUser.setAllRights(true);
        Tool::CurrentUser.LayoutAdd = add;
        Tool::CurrentUser.LayoutDelete = remove;
        Layout page;
        QCOMPARE(part<QPushButton>(&page, "pushButton_NewBuilt")->isEnabled(), add);
        QCOMPARE(part<QPushButton>(&page, "pushButton_Delete")->isEnabled(), remove);
    }

private:
    std::unique_ptr<Workspace> ws;
};

PCR_TEST_CLASS(TestLayoutPages)
#include "tst_layout.moc"
