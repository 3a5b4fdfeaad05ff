#pragma once
// The kinds of audit entry. The code is what callers pass to Tool::SaveAuditLog, grouped by tens
// per area; the type word is stored in Chinese whatever the interface language and translated
// only for display.

#include <QString>
#include <QStringList>

#include <vector>

enum class AuditEvent : int {
    ManualBackup = 1,
    AutoBackup = 2,
    ManualRestore = 3,
    BackupPath = 4,
    CompanyName = 5,
    Language = 6,
    TemperatureUnit = 7,
    TemperatureAccuracy = 8,
    ExportFormat = 9,
    PCRDeviceAdd = 11,
    PCRDeviceModify = 12,
    PCRDeviceDelete = 13,
    PCRDeviceView = 14,
    PCRProfileModify = 15,
    PCRProfileDelete = 16,
    ElectrometerAdd = 21,
    ElectrometerModify = 22,
    ElectrometerDelete = 23,
    ElectrometerView = 24,
    ElectrometerScan = 25,
    StandardizerAdd = 31,
    StandardizerDelete = 32,
    StandardizerView = 33,
    StandardizerCalibrate = 34,
    CyclicFileAdd = 41,
    CyclicFileDelete = 42,
    CyclicFileView = 43,
    CyclicFileModify = 44,
    LayoutAdd = 51,
    LayoutDelete = 52,
    LayoutView = 53,
    Calibration = 61,
    CalibrationDataDelete = 62,
    ExportReport = 71,
    ExportRecord = 72,
    ExportRawData = 73,
    UserAdd = 81,
    UserModify = 82,
    UserDelete = 83,
    UserLogin = 84,
    PasswordReset = 85,
    SecretsHashed = 86,
    AuditLogDownload = 91,
    AuditLogVerify = 92,
    AuditChainCreated = 93,
};

namespace AuditEvents {

struct Entry
{
    AuditEvent event;
    const char *word;      // stored type word, translation context "Tool"
    const char *english;   // what an English session stored before type words were kept in Chinese
};

// Every kind, in code order.
const std::vector<Entry> &entries();

// The Chinese type word of a code; empty for a code that is no kind.
QString storedWord(int code);
// The type word of a code in the interface language; empty for a code that is no kind.
QString displayWord(int code);

// A stored type as the interface shows it: a known word (Chinese, or English as older entries
// hold it) in the interface language, anything else as it stands.
QString displayText(const QString &stored);

// Every stored spelling (Chinese and older English) of the kinds whose type contains fragment in
// either language, ignoring case. Empty for an empty fragment.
QStringList storedWordsMatching(const QString &fragment);

} // namespace AuditEvents
