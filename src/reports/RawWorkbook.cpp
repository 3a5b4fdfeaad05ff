#include "reports/RawWorkbook.h"

#include "reports/ColumnLetters.h"
#include "store/OutputFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cstdio>

namespace {

lxw_format *makeFormat(lxw_workbook *book, double size, uint8_t align)
{
    lxw_format *f = workbook_add_format(book);
    format_set_font_name(f, "宋体");
    format_set_font_size(f, size);
    format_set_align(f, align);
    format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    format_set_border(f, LXW_BORDER_THIN);
    return f;
}

} // namespace

struct RawWorkbook::Impl
{
    lxw_workbook *book = nullptr;
    lxw_worksheet *sheet = nullptr;
    lxw_format *data = nullptr, *title = nullptr, *header = nullptr;
    QString outputPath, partPath;
    QByteArray partPathBytes;
    int probes = 0;
    lxw_row_t next = 2;   // 0-based: row 3 of the sheet
    lxw_error firstError = LXW_NO_ERROR;
    QString error;

    void note(lxw_error e)
    {
        if (e != LXW_NO_ERROR && firstError == LXW_NO_ERROR)
            firstError = e;
    }

    void blockTitle(const QString &text)
    {
        const QByteArray t = text.toUtf8();
        if (probes > 0)
            note(worksheet_merge_range(sheet, next, 0, next, lxw_col_t(probes), t.constData(), data));
        else
            note(worksheet_write_string(sheet, next, 0, t.constData(), data));
        ++next;
    }

    void discard()
    {
        if (book) {
            lxw_workbook_free(book);
            book = nullptr;
        }
        if (!partPath.isEmpty())
            QFile::remove(partPath);
        partPath.clear();
        sheet = nullptr;
    }
};

RawWorkbook::RawWorkbook() : d(new Impl) {}

RawWorkbook::~RawWorkbook()
{
    d->discard();
}

int RawWorkbook::begin(const QString &outputPath, const QString &probeList)
{
    d->discard();
    d->outputPath = outputPath;
    d->firstError = LXW_NO_ERROR;
    d->next = 2;
    // Written beside the target and renamed at the end, so a failed export leaves no file.
    const QFileInfo target(outputPath);
    QTemporaryFile part(target.absolutePath() + QLatin1Char('/') + target.fileName() + QStringLiteral(".XXXXXX.part"));
    part.setAutoRemove(false);
    if (!part.open()) {
        d->error = QCoreApplication::translate("RawWorkbook", "无法写入文件：%1（%2）").arg(QDir::toNativeSeparators(outputPath), part.errorString());
        return 1;
    }
    d->partPath = part.fileName();
    // A temporary file is private to its owner; the workbook is an ordinary document.
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    part.close();
    d->partPathBytes = QFile::encodeName(d->partPath);

    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    d->book = workbook_new_opt(d->partPathBytes.constData(), &options);
    const QByteArray sheetName = QCoreApplication::translate("RawWorkbook", "原始数据").toUtf8();
    d->sheet = d->book ? workbook_add_worksheet(d->book, sheetName.constData()) : nullptr;
    if (!d->sheet) {
        d->error = QCoreApplication::translate("RawWorkbook", "无法创建工作表");
        d->discard();
        return 1;
    }
    d->data = makeFormat(d->book, 12, LXW_ALIGN_LEFT);
    d->title = makeFormat(d->book, 16, LXW_ALIGN_CENTER);
    d->header = makeFormat(d->book, 14, LXW_ALIGN_CENTER);

    const QStringList entries = probeList.isEmpty() ? QStringList() : probeList.split(QLatin1Char(','));
    d->probes = entries.size();
    const lxw_col_t last = lxw_col_t(d->probes);

    worksheet_set_row(d->sheet, 0, 28, nullptr);
    const QByteArray title = QCoreApplication::translate("RawWorkbook", "原始数据").toUtf8();
    if (d->probes > 0)
        d->note(worksheet_merge_range(d->sheet, 0, 0, 0, last, title.constData(), d->title));
    else
        d->note(worksheet_write_string(d->sheet, 0, 0, title.constData(), d->title));
    worksheet_set_column(d->sheet, 0, 0, 28, nullptr);
    if (d->probes > 0)
        worksheet_set_column(d->sheet, 1, last, 16, nullptr);
    worksheet_set_row(d->sheet, 1, 20, nullptr);
    d->note(worksheet_write_string(d->sheet, 1, 0, QCoreApplication::translate("RawWorkbook", "时间").toUtf8().constData(), d->header));
    for (int p = 0; p < d->probes; ++p)
        d->note(worksheet_write_string(d->sheet, 1, lxw_col_t(p + 1), probeLabel(entries.at(p)).plain().toUtf8().constData(),
                                       d->header));
    // Values are texts with fixed decimals; spare the reader a warning on every cell.
    worksheet_ignore_errors(d->sheet, LXW_IGNORE_NUMBER_STORED_AS_TEXT, "A1:XFD1048576");
    return 0;
}

void RawWorkbook::beginUniformityBlock()
{
    if (d->sheet)
        d->blockTitle(QCoreApplication::translate("RawWorkbook", "均匀度校准"));
}

void RawWorkbook::beginRateBlock()
{
    if (!d->sheet)
        return;
    ++d->next;
    d->blockTitle(QCoreApplication::translate("RawWorkbook", "升降温速率校准"));
}

void RawWorkbook::addSample(const QDateTime &time, const QVector<double> &values)
{
    addSample(time, values.constData(), values.size());
}

void RawWorkbook::addSample(const QDateTime &time, const double *values, int count)
{
    if (!d->sheet)
        return;
    if (d->next >= LXW_ROW_MAX) {
        d->note(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
        return;
    }
    const QByteArray stamp = time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toLatin1();
    d->note(worksheet_write_string(d->sheet, d->next, 0, stamp.constData(), d->data));
    for (int p = 0; p < count; ++p) {
        // The documents' number texts (halves round away from zero), whatever the C locale.
        const QByteArray text = QByteArray::number(values[p], 'f', 2);
        d->note(worksheet_write_string(d->sheet, d->next, lxw_col_t(p + 1), text.constData(), d->data));
    }
    ++d->next;
}

int RawWorkbook::finish()
{
    if (!d->book) {
        if (d->error.isEmpty())
            d->error = QCoreApplication::translate("RawWorkbook", "工作簿未创建");
        return 2;
    }
    if (d->firstError != LXW_NO_ERROR) {
        d->error = d->firstError == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE
                       ? QCoreApplication::translate("RawWorkbook", "数据超过工作表的最大行数（1048576行）")
                       : QCoreApplication::translate("RawWorkbook", "写入工作表失败：%1").arg(QString::fromUtf8(lxw_strerror(d->firstError)));
        d->discard();
        return 2;
    }
    const lxw_error closed = workbook_close(d->book);
    d->book = nullptr;
    if (closed != LXW_NO_ERROR) {
        d->error = QCoreApplication::translate("RawWorkbook", "保存工作簿失败：%1").arg(QString::fromUtf8(lxw_strerror(closed)));
        d->discard();
        return 2;
    }
    // Synced and checked before it takes the target's place; a failure removes the part.
    if (!OutputFile::commit(d->partPath, d->outputPath, &d->error)) {
        d->partPath.clear();
        d->discard();
        return 2;
    }
    d->partPath.clear();
    d->sheet = nullptr;
    return 0;
}

int RawWorkbook::probeCount() const
{
    return d->probes;
}

QString RawWorkbook::errorString() const
{
    return d->error;
}
