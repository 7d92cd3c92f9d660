#include "player/skin_loader.h"

#include <exception>
#include <iostream>
#include <string>

#include "platform/forms/picture.h"
#include "platform/system/files.h"
#include "player/form1.h"
#include "shell/icon_file.h"

namespace skin_loader {

namespace {

using zem::forms::PictureRef;

// A skin picture, or nothing (named on standard error) when it cannot be had.
// Without the skin the window still opens and works; its header shows the
// back colour where a sprite is missing.
PictureRef LoadSkinPicture(const std::string& file) {
    const std::string path = zem::platform::ProgramPath("\\zemskin\\skin\\" + file);
    try {
        return zem::forms::LoadPicture(path);
    } catch (const std::exception& error) {
        std::cerr << "zemplayer: skin picture " << path << " not loaded: " << error.what() << '\n';
        return nullptr;
    }
}

}  // namespace

void LoadSkinImages() {
    Form1& form = zem::forms::FormInstance<Form1>::Get();
    // The skin table, in its order; the drag strip is the one picture box.
    struct Row {
        zem::forms::Image* image;
        zem::forms::PictureBox* box;
        const char* file;
    };
    const Row rows[] = {{&form.Image1, nullptr, "biaotilan.jpg"}, {&form.Image2, nullptr, "Z.jpg"},
                        {&form.Image3, nullptr, "Y.jpg"},         {&form.Image4, nullptr, "Close.jpg"},
                        {&form.Image5, nullptr, "max-1.jpg"},     {&form.Image6, nullptr, "min.jpg"},
                        {&form.Image7, nullptr, "hp.jpg"},        {&form.Image8, nullptr, "max-2.jpg"},
                        {&form.Image9, nullptr, "bf.jpg"},        {&form.Image10, nullptr, "pk.jpg"},
                        {nullptr, &form.Picture9, "lbl.jpg"},     {&form.logo, nullptr, "logo.jpg"},
                        {&form.yy, nullptr, "jp.jpg"},            {&form.zb, nullptr, "zb.jpg"}};
    for (const Row& row : rows) {
        PictureRef picture = LoadSkinPicture(row.file);
        if (!picture) continue;  // the target keeps what it had (the drag strip its design picture)
        if (row.image != nullptr)
            row.image->SetPicture(std::move(picture));
        else
            row.box->SetPicture(std::move(picture));
    }

    // The window keeps its design icon when the icon file is missing or holds no icon.
    const std::string iconPath = zem::platform::ProgramPath("\\zemskin\\icon.ico");
    try {
        if (PictureRef icon = 高清图标::LoadIconFile(iconPath))
            form.SetIcon(std::move(icon));
        else
            std::cerr << "zemplayer: icon file " << iconPath << " holds no icon\n";
    } catch (const std::exception& error) {
        std::cerr << "zemplayer: icon file " << iconPath << " not loaded: " << error.what() << '\n';
    }

    form.T4.SetEnabled(true);
}

}  // namespace skin_loader
