#pragma once
// The 25 rights of an account. A right is named by its enum value, never by a text, so a
// mistyped right does not compile. The table (Tool::Struct_UesrManagement::rights()) holds, per
// right and in column order: the column, the Chinese right name, the user pages' header and box
// label, the box group and who may have it changed.

#include <QString>

enum class Right {
    SQLBackups,
    CompanyName,
    SystemSet,
    PCRDeviceAdd,
    PCRDeviceModify,
    PCRDeviceDelete,
    ElectrometerAdd,
    ElectrometerModify,
    ElectrometerDelete,
    ElectrometerScan,
    StandardizerAdd,
    StandardizerDelete,
    CyclicFileAdd,
    CyclicFileDelete,
    LayoutAdd,
    LayoutDelete,
    CalibrationStartUp,
    DeleteData,
    CalibrationReport,
    OriginalRecord,
    Custom,
    AdminAdd,
    AdminDelete,
    LogDownload,
    Format,
};
constexpr int RightCount = 25;

// The group box of the rights dialog a right's box sits in.
enum class RightGroup { SystemSet, PCRDevice, Electrometer, Standardizer, CyclicFile, Layout, Calibration,
                        DataExport, Admin };
constexpr int RightGroupCount = 9;

// Who may have a right changed, by the role of the account being edited.
enum class RightChangeable { AdministratorsOnly, AdministratorsAndSupervisors, EveryRole };

namespace Rights {

// The Chinese right name ("数据库备份", ...), as stored words are: untranslated.
QString name(Right right);
// The right name in the interface language.
QString displayName(Right right);
// The column of table UesrManagement ("SQLBackups", ...).
QString column(Right right);
// The users list's header of the right's column and the rights dialog's box label, translated.
QString header(Right right);
QString label(Right right);

// Whether a right may be changed for an account of the given stored role.
bool isChangeable(RightChangeable rule, const QString &role);

} // namespace Rights
