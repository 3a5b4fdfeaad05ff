#pragma once
// The set-up of a calibration project: what the form holds, the records its choices name, and
// the check that turns both into a result code, the message to show and the project record.

#include "store/tool.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <optional>

class CalibrationSetup
{
    Q_DECLARE_TR_FUNCTIONS(CalibrationSetup)

public:
    // The form's values as the engineer left them: combo-box items (DataWords::listEntry), texts
    // as typed.
    struct Form
    {
        QString pcrItem, electrometerItem, standardizerItem, layoutItem;
        bool uniformity = false, rate = false, linear = false;
        QString uniformityItem, rateItem;
        QString projectName, company, remarks, ambientTemperature, ambientHumidity, ambientPressure,
            calibrator, checker, interval;
    };

    // The records the form's choices name, as the store holds them; none where nothing matched.
    struct Records
    {
        std::optional<Tool::Struct_PCRDevice> pcr;
        std::optional<Tool::Struct_Electrometer> electrometer;
        std::optional<Tool::Struct_Standardizer> standardizer;
        std::optional<Tool::Struct_Layout> layout;
        // A project of this name exists, or samples left under it by a run that never became one.
        bool projectNameUsed = false;
    };

    struct Result
    {
        int code = 0;        // 0: valid
        QString message;     // the text to show for a non-zero code
        Tool::Struct_Calibration project;
        Tool::Struct_Electrometer electrometer;
        Tool::Struct_Standardizer standardizer;
        double interval = 0;   // seconds; 0 for an empty or malformed text
        bool uniformity = false, rate = false, linear = false;
    };

    // Looks the form's choices up in the store.
    static Records lookUp(const Form &form);
    // The check itself, on the records found; unit is the display unit the ambient temperature is
    // typed in, now the project's time stamp.
    static Result validate(const Form &form, const Records &records, const QString &unit, const QDateTime &now);
    // lookUp and validate.
    static Result check(const Form &form, const QString &unit, const QDateTime &now);

    // A temperature text in unit turned into ℃ with the given decimals, as stored: a ℉ number is
    // converted, anything else (℃, an empty text, no number) stays as it is.
    static QString celsiusText(const QString &text, const QString &unit, int decimals);
};
