#pragma once

#include <QString>

#include <atomic>

// Converts office documents to PDF with LibreOffice, headless, in a private user profile of
// this program whose font replacement table maps "宋体" to "Noto Serif CJK SC" (and "黑体" to
// "Noto Sans CJK SC"), so Chinese text comes out in Simplified Chinese faces on Linux.
// Conversions are serialised on the profile (one LibreOffice per profile at a time).
class OfficeConverter
{
public:
    // The LibreOffice program: setProgram() if called, else $PCR_SOFFICE, else "soffice" or
    // "libreoffice" from PATH. Empty when none is found.
    static QString program();
    static void setProgram(const QString &path);

    // Profile folder; defaults to the user's cache folder ("pcrcal/libreoffice-profile").
    static QString profileDirectory();
    static void setProfileDirectory(const QString &path);

    // Converts input (a .docx or .xlsx) into the PDF outputPath. The PDF is moved into place
    // only when complete; on failure nothing is left at outputPath and error says why. A set
    // cancel flag ends the wait for LibreOffice (which is then killed) within a fraction of a
    // second; the result is false as for any failure.
    static bool convertToPdf(const QString &input, const QString &outputPath, QString *error,
                             int timeoutMs = 180000, const std::atomic<bool> *cancel = nullptr);

    // Writes the font replacement into the profile (creating it); false if the folder cannot be made.
    static bool prepareProfile(const QString &directory, QString *error);
};
