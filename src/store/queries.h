#pragma once
// The filters pages hand to Tool's query operations. Every value is bound; a text typed by a user
// can neither break a statement nor widen what it selects.

#include "store/tool.h"

namespace Queries {

// Cycle file looked up by its name (the analysis finds the steps of a run by it).
Tool::Statement cyclicFileByName(const QString &name);

// Projects that ran with the named cycle file, for uniformity or for rates.
Tool::Statement calibrationsUsingCycleFile(const QString &name);

// Projects that ran with the named probe set.
Tool::Statement calibrationsUsingProbeSet(const QString &name);

// The samples of one project and one calibration item, in stored (time) order.
Tool::Statement calibrationDataOf(const QString &name, const QString &model);

// All samples of one project, both calibration items, in stored (time) order.
Tool::Statement calibrationDataOf(const QString &name);

// One sample stored under a project name, if any: whether the name holds samples.
Tool::Statement anySampleOf(const QString &name);

// Projects whose name contains text (SQL LIKE: "%" and "_" in text keep their wildcard meaning).
Tool::Statement calibrationsNamed(const QString &text);

// The accounts the logged-in role may see: an administrator all, a supervisor the operators and
// itself, anyone else only itself. A non-empty nameFragment narrows to names containing it.
Tool::Statement usersVisibleTo(const QString &role, const QString &ownName,
                               const QString &nameFragment = QString());

} // namespace Queries
