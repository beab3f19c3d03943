#pragma once

#include <QDialog>
#include <QList>

class QPushButton;
struct SettingsRecord;

namespace Ui {
class Conv3DDialog;
}

// The choices of the 3D conversion: the file's format, how the stars' depths are found and
// how strong the depth is. A press chooses within the dialog; "実行" keeps the choices in the
// settings (`_3dfor`, `_3ddep`, `_3dstr`), saves the settings file and accepts; "キャンセル"
// leaves everything as it was.
class Conv3DDialog : public QDialog {
    Q_OBJECT
public:
    // The example pictures of the formats come from the program folder's "PNG" folder.
    Conv3DDialog(SettingsRecord& settings, const QString& appDir, QWidget* parent = nullptr);
    ~Conv3DDialog() override;

    int format() const { return choices[Format].chosen; }
    int depth() const { return choices[Depth].chosen; }
    int strength() const { return choices[Strength].chosen; }

private:
    enum Group { Format, Depth, Strength };
    struct Choice {
        QList<QPushButton*> buttons; // in the order of their values
        int chosen = 0;
    };

    void choose(Group group, int value);
    void showPictures(const QString& appDir);
    void execute();

    Ui::Conv3DDialog* ui;
    SettingsRecord& settings;
    Choice choices[3];
};
