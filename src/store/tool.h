#pragma once
// The one data-access layer: record types, table operations, audit trail, logged-in user,
// process-wide settings and unit conversions. Widget-free. Operations run on the connection of
// the calling thread: the default one on the GUI thread, a worker's own ThreadConnection on it.

#include "store/auditevents.h"
#include "store/rights.h"

#include <QCoreApplication>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QDateTime;
class QSettings;
struct DatabaseSettings;

class Tool
{
    Q_DECLARE_TR_FUNCTIONS(Tool)

public:
    // One field per table column, in column order. fields() lists them so that rows are read and
    // written by position; values()/fromValues() give the record as texts in that order.
    template<class T>
    using FieldList = std::vector<std::pair<const char *, QString T::*>>;

    struct Struct_UesrManagement
    {
        QString Name, Password, Rights, State, RegistrationDate, ExpirationDate, ErrorsNumber,
            Problem, Answer, Remarks;
        bool SQLBackups = false, CompanyName = false, SystemSet = false, PCRDeviceAdd = false,
             PCRDeviceModify = false, PCRDeviceDelete = false, ElectrometerAdd = false,
             ElectrometerModify = false, ElectrometerDelete = false, ElectrometerScan = false,
             StandardizerAdd = false, StandardizerDelete = false, CyclicFileAdd = false,
             CyclicFileDelete = false, LayoutAdd = false, LayoutDelete = false,
             CalibrationStartUp = false, DeleteData = false, CalibrationReport = false,
             OriginalRecord = false, Custom = false, AdminAdd = false, AdminDelete = false,
             LogDownload = false, Format = false;

        // One right: its column, names and how the user pages present it.
        struct RightColumn
        {
            ::Right right;
            const char *column;
            bool Struct_UesrManagement::*flag;
            const char *name;     // the Chinese right name, context "Admin"
            const char *label;    // the rights dialog's box label, context "Jurisdiction"
            RightGroup group;
            RightChangeable changeable;
            const char *header = nullptr;   // the users list's header where it is not the name
        };
        static const FieldList<Struct_UesrManagement> &fields();                  // the 10 text columns
        static const std::array<RightColumn, RightCount> &rights();               // the 25 right columns
        static const RightColumn &rightColumn(::Right right);
        bool has(::Right right) const { return this->*(rightColumn(right).flag); }
        void grant(::Right right, bool on) { this->*(rightColumn(right).flag) = on; }
        QStringList values() const;                                // the 10 texts
        static Struct_UesrManagement fromValues(const QStringList &texts);
        void setAllRights(bool on);
        // Unless ExpirationDate ("yyyy-MM-dd hh:mm:ss") lies after now; an unreadable date has expired.
        bool hasExpired(const QDateTime &now) const;
    };

    struct Struct_PCRDevice
    {
        QString Number, DeviceName, DeviceModel, SerialNumber, Manufacturer, CalibrationMode,
            CalibrationDate, CalibrationCycle, CertificateNumber, Remarks;
        static const FieldList<Struct_PCRDevice> &fields();
        QStringList values() const;
        static Struct_PCRDevice fromValues(const QStringList &texts);
    };

    struct Struct_Electrometer
    {
        QString Number, DeviceName, DeviceModel, Manufacturer, SerialNumber, CalibrationState,
            CertificateNumber, CalibrationCycle, Uncertain, SignalMode, IP_COM, Port_BaudRate;
        static const FieldList<Struct_Electrometer> &fields();
        QStringList values() const;
        static Struct_Electrometer fromValues(const QStringList &texts);
    };

    struct Struct_Standardizer
    {
        QString Number, Name, NumberChannels, TimeDate, ChannelNames, ChannelNumbers, ProbeTypes,
            Conversions, ChannelParameter1, ChannelParameter2, ChannelParameter3, B0_R0, B1, B2, B3;
        static const FieldList<Struct_Standardizer> &fields();
        QStringList values() const;
        static Struct_Standardizer fromValues(const QStringList &texts);
    };

    struct Struct_CyclicFile
    {
        QString Number, Name, StepCount, CreateTime, Steps, SetTemperatures, HoldTimes;
        static const FieldList<Struct_CyclicFile> &fields();
        QStringList values() const;
        static Struct_CyclicFile fromValues(const QStringList &texts);
    };

    struct Struct_Layout
    {
        QString Name, PointCount, Points, Image;
        static const FieldList<Struct_Layout> &fields();
        QStringList values() const;
        static Struct_Layout fromValues(const QStringList &texts);
    };

    struct Struct_Calibration
    {
        QString CalibrationName, Company, ProjectRemarks, CalibrationTime, Interval,
            AmbientTemperature, AmbientHumidity, AmbientPressure, Calibrator, Checker, DeviceName,
            DeviceModel, SerialNumber, Manufacturer, CertificateNumber, ElectrometerName,
            StandardizerName, NumberChannels, ChannelNumbers, ChannelParameter1, UniformityFile,
            RateFile, CalibrationLinear, LayoutName, LayoutPoints;
        static const FieldList<Struct_Calibration> &fields();
        QStringList values() const;
        static Struct_Calibration fromValues(const QStringList &texts);
    };

    struct Struct_CalibrationData
    {
        QString Name, Model, Time, Temperatures;
        static const FieldList<Struct_CalibrationData> &fields();
        QStringList values() const;
        static Struct_CalibrationData fromValues(const QStringList &texts);
    };

    struct Struct_AuditLog
    {
        QString Time, Operator, Type, Details;
        static const FieldList<Struct_AuditLog> &fields();
        QStringList values() const;
        static Struct_AuditLog fromValues(const QStringList &texts);
    };

    // A SELECT with its values bound to the "?" placeholders, in order. Filters never splice
    // user text into the statement; see queries.h for the ones the pages use.
    struct Statement
    {
        QString sql;
        QVariantList values;
    };

    // --- database ---------------------------------------------------------------------------
    static const QString DatabaseFileName;   // "PCR.db3"
    // Adds (or reuses) the default connection on fileName and opens it. A new file gets the
    // whole schema and the initial account; an existing one is opened as it is, with missing
    // tables and the CalibrationData index added. False when the file cannot be opened or is no
    // database; the connection is then closed again.
    static bool openDatabase(const QString &fileName = DatabaseFileName);
    // The same on the file or the PostgreSQL server of the settings (config.ini [Database]). On
    // the server the tables, unique keys and initial account are made when the database is empty.
    static bool openDatabase(const DatabaseSettings &settings);
    // fileName on the default connection for reading only: nothing is written, no table added,
    // the journal left as it is; a file in a folder that cannot be written is read as it stands.
    static bool openDatabaseReadOnly(const QString &fileName);
    static void closeDatabase();
    static bool isDatabaseOpen();
    // Whether the default connection is on a PostgreSQL server (not a file of this station).
    static bool isServerDatabase();
    // The file of the default connection, absolute, or on a server its postgresql:// location;
    // what a worker opens its own connection on (ThreadConnection).
    static QString databaseFileName();
    // A consistent snapshot of the live database into target (which must not exist yet). Refused
    // on a server (serverBackupRefusal).
    static bool backupDatabase(const QString &target, QString *error = nullptr);
    // Why backups and restores are not done here when the database is on a server.
    static QString serverBackupRefusal();
    // Whether the calling thread's last failed add or modify was refused by a unique key: another
    // station stored the same number or name first.
    static bool lastWriteWasDuplicate();
    // Whether fileName is an SQLite database holding every table of the schema (opened read-only
    // on a private connection; the default connection is not touched).
    static bool isPcrDatabase(const QString &fileName, QString *error = nullptr);

    // --- records --------------------------------------------------------------------------
    // Password and Answer are stored as salted hashes: a plain text given is hashed, a hash
    // read back and handed in unchanged is kept.
    static bool addUesrManagement(const Struct_UesrManagement &user);
    static bool modifyUesrManagement(const Struct_UesrManagement &user);
    // Sets a new password (given in plain text, stored hashed); nothing else changes.
    static bool updatePassword(const QString &name, const QString &password);
    static bool getUesrManagement(QList<Struct_UesrManagement> &list, const QString &name);
    static bool queryUesrManagement(QList<Struct_UesrManagement> &list, const Statement &statement);
    static bool deleteUesrManagement(const QString &name);

    static bool addPCRDevice(const Struct_PCRDevice &device);
    static bool ModifyPCRDevice(const Struct_PCRDevice &device);
    static bool getPCRDevice(QList<Struct_PCRDevice> &list, const QString &number);
    static bool deletePCRDevice(const QString &number);

    static bool addElectrometer(const Struct_Electrometer &device);
    static bool ModifyElectrometer(const Struct_Electrometer &device);
    static bool getElectrometer(QList<Struct_Electrometer> &list, const QString &number);
    static bool deleteElectrometer(const QString &number);

    static bool addStandardizer(const Struct_Standardizer &probes);
    static bool ModifyStandardizer(const QString &number, const QString &b0r0, const QString &b1,
                                   const QString &b2, const QString &b3);
    static bool getStandardizer(QList<Struct_Standardizer> &list, const QString &number);
    static bool getStandardizerName(QList<Struct_Standardizer> &list, const QString &name);
    static bool deleteStandardizer(const QString &number);

    static bool addCyclicFile(const Struct_CyclicFile &file);
    static bool getCyclicFile(QList<Struct_CyclicFile> &list, const QString &number);
    static bool queryCyclicFile(QList<Struct_CyclicFile> &list, const Statement &statement);
    static bool deleteCyclicFile(const QString &number);
    // Every column but the number, selected by the number.
    static bool ModifyCyclicFile(const Struct_CyclicFile &file);

    static bool addLayout(const Struct_Layout &layout);
    static bool getLayout(QList<Struct_Layout> &list, const QString &name);
    static bool deleteLayout(const QString &name);

    static bool addCalibration(const Struct_Calibration &project);
    static bool getCalibration(QList<Struct_Calibration> &list, const QString &name);
    static bool queryCalibration(QList<Struct_Calibration> &list, const Statement &statement);
    static bool deleteCalibration(const QString &name);

    static bool addCalibrationData(const Struct_CalibrationData &sample);
    static bool getCalibrationData(QList<Struct_CalibrationData> &list, const QString &name);
    static bool queryCalibrationData(QList<Struct_CalibrationData> &list, const Statement &statement);
    // The rows of a query handed one at a time to visit, which returns false to stop; a day-long
    // run is read without holding all its rows. False only when the query fails.
    static bool forEachCalibrationData(const Statement &statement,
                                       const std::function<bool(const Struct_CalibrationData &)> &visit);
    static bool deleteCalibrationData(const QString &name);

    // Single-column updates. An empty state leaves the state as it is.
    static bool updateLoginErrors(const QString &name, const QString &errors, const QString &state);
    static bool updateCalibrationLinear(const QString &name, const QString &value);
    static bool updatePCRDeviceCalibrationDate(const QString &serialNumber, const QString &date);

    // Remembered values of the editable lists; each (key, value) pair is stored once.
    static bool addDataSheet(const QString &key, const QString &value);
    static bool getDataSheet(const QString &key, QStringList &values);

    // --- audit trail ----------------------------------------------------------------------
    // Stores the type word of the code in Chinese, whatever the interface language; an unknown
    // code stores an empty type. The entry is chained to the one before it (store/auditchain.h).
    // False when the entry could not be stored; the failure handler (if any) has then been told.
    static bool SaveAuditLog(int type, const QString &text);
    static bool SaveAuditLog(AuditEvent type, const QString &text) { return SaveAuditLog(int(type), text); }
    // Called on the calling thread with the entry's text whenever one cannot be stored, so that
    // no entry is lost without the user learning of it (the application shows it).
    static void setAuditFailureHandler(std::function<void(const QString &text)> handler);
    // With an empty start every row. Otherwise the rows within [start, end] (compared as text) of
    // the operator whose type contains the type fragment, as stored or in either language.
    static bool getAuditLog(QList<Struct_AuditLog> &list, const QString &start, const QString &end,
                            const QString &op, const QString &type);
    // The type word of a code in the interface language.
    static QString auditTypeName(int type);

    // --- user, rights, settings -----------------------------------------------------------
    static Struct_UesrManagement CurrentUser;
    static bool hasRight(Right right);

    static QString CorporateName;
    static QString Language;
    static QString TemperatureUnit;
    static int TemperatureAccuracy;
    static QString Format;

    // How records, settings and the clock write a time: "yyyy-MM-dd hh:mm:ss".
    static const QString TimeFormat;

    static const QString ConfigFileName;   // "config.ini"
    // The settings file of the working directory, INI format, UTF-8. Every reader and writer of
    // "config.ini" goes through this.
    static std::unique_ptr<QSettings> configFile(const QString &fileName = ConfigFileName);
    // Writes the settings of a fresh installation ("中文", "℃", 2 decimals, "Word", automatic
    // backup off, cycle 1 day) when the file does not exist yet; an existing file is left alone.
    static bool createDefaultConfig(const QString &fileName = ConfigFileName);
    static void readSystemSettings();
    // False when the file could not be written (it then keeps its old contents).
    static bool writeSystemSettings();

    // --- enumeration words and units ------------------------------------------------------
    static QString toDisplayText(const QString &stored);
    static QStringList toDisplayTextList(const QStringList &stored);
    static QString toStoredText(const QString &display);
    static void toFahrenheit(QString &value, int decimals, bool difference);
    static void toCelsius(QString &value, int decimals, bool difference);

    // --- machine --------------------------------------------------------------------------
    // Sorted names of the serial ports the system lists (defined with the instruments, which
    // link the serial port module; the store does not).
    static QStringList serialPortNames();
    // Returns after at least ms milliseconds (monotonic clock), sleeping rather than spinning.
    // Processes no events.
    static void delayMs(int ms);
};

Q_DECLARE_METATYPE(Tool::Struct_UesrManagement)
Q_DECLARE_METATYPE(Tool::Struct_PCRDevice)
Q_DECLARE_METATYPE(Tool::Struct_Electrometer)
Q_DECLARE_METATYPE(Tool::Struct_Standardizer)
Q_DECLARE_METATYPE(Tool::Struct_CyclicFile)
Q_DECLARE_METATYPE(Tool::Struct_Layout)
Q_DECLARE_METATYPE(Tool::Struct_Calibration)
Q_DECLARE_METATYPE(Tool::Struct_CalibrationData)
Q_DECLARE_METATYPE(Tool::Struct_AuditLog)
