#pragma once
// The eight connection parameters: shown from ConnParam.ini, stored there by
// OK, which also rebuilds the connection string at once.

#include "core/database/ParamFile.h"
#include "widgets/KForm.h"

#include <array>

class QLineEdit;

namespace Ui {
class Frm_ConnectionSettings;
}

class Frm_ConnectionSettings : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_ConnectionSettings(QWidget *parent = nullptr);
    ~Frm_ConnectionSettings() override;

    void Form_Load() override;
    void cmd_OK_Click();
    void cmd_Cancel_Click();
    void cmd_Default_Click();

    // Shows what to fill in and where the tables come from: for the first
    // start, when the settings are still the installed defaults.
    void showFirstStartNote();

private:
    // Puts the file's eight lines into the fields; false when the file could
    // not be read (the fields are then left as they were).
    bool LoadParamFile(const QString &fileName);
    QStringList fieldValues() const;
    std::array<QLineEdit *, kestrel::db::ParamCount> fields() const;

    Ui::Frm_ConnectionSettings *ui;
    // The values the fields were filled with, whole: a box holds no more
    // than the driver takes, and OK must not shorten a value that was not
    // changed.
    QStringList m_loaded;
    // OK writes ConnParam.ini back in the encoding it was found in.
    kestrel::db::ParamEncoding m_encoding = kestrel::db::ParamEncoding::Utf8;
};
