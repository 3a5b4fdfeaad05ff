#pragma once
// The 25 rights as the user pages present them: table header, check box label, group, and which
// roles of the edited account may have the box changed. Also the roles a logged-in role manages.

#include "store/tool.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace UserRights {

// Who may have a right changed, by the role of the account being edited.
enum class Changeable { AdministratorsOnly, AdministratorsAndSupervisors, EveryRole };

enum Group { SystemSet, PCRDevice, Electrometer, Standardizer, CyclicFile, Layout, Calibration,
             DataExport, Admin, GroupCount };

struct Entry
{
    const char *column;   // UesrManagement column, also the check box suffix
    const char *header;   // right name, context "Admin"
    const char *label;    // check box label, context "Jurisdiction"
    Group group;
    Changeable changeable;
    bool Tool::Struct_UesrManagement::*flag;
};

// In column order.
const std::vector<Entry> &entries();

// Object name and translated title (context "Jurisdiction") of a group box.
QString groupObjectName(Group group);
QString groupTitle(Group group);

// Whether a box may be changed for an account of the given stored role.
bool isChangeable(Changeable rule, const QString &role);

// Stored role words, highest first.
extern const QString Administrator;   // "管理员"
extern const QString Supervisor;      // "主管"
extern const QString Operator;        // "操作员"
// Stored state words.
extern const QString StateNormal;     // "正常"
extern const QString StateLocked;     // "锁定"

// The stored roles a logged-in role may give to accounts it adds or edits.
QStringList rolesOffered(const QString &loggedInRole);

// A copy of target with the 25 rights taken from source.
Tool::Struct_UesrManagement withRightsOf(Tool::Struct_UesrManagement target,
                                         const Tool::Struct_UesrManagement &source);

} // namespace UserRights
