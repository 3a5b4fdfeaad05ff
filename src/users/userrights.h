#pragma once
// How the user pages present the rights (the table itself is Tool::Struct_UesrManagement::rights()):
// the group boxes of the rights dialog, and the roles a logged-in role manages.

#include "store/tool.h"

#include <QString>
#include <QStringList>

namespace UserRights {

// Object name and translated title (context "Jurisdiction") of a group box.
QString groupObjectName(RightGroup group);
QString groupTitle(RightGroup group);

// The stored roles a logged-in role may give to accounts it adds or edits.
QStringList rolesOffered(const QString &loggedInRole);

// Whether a logged-in role may search and edit other accounts.
bool managesOthers(const QString &loggedInRole);

// A copy of target with the 25 rights taken from source.
Tool::Struct_UesrManagement withRightsOf(Tool::Struct_UesrManagement target,
                                         const Tool::Struct_UesrManagement &source);

// The audit text of an account's changes: each changed field and right with its old and new
// value, the password and the recovery answer masked. Empty when nothing changed.
QString changes(const Tool::Struct_UesrManagement &before, const Tool::Struct_UesrManagement &after);

} // namespace UserRights
