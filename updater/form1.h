// Form1: the updater's main and only visible window. Started with the offered
// version and a mode word, it offers the upgrade ("shengji") or says the
// installed version is current ("wu"); its upgrade button downloads the
// package into the program folder while the bar runs, then ends the player,
// starts the package, records the version and ends the updater.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/com.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "updater/cfile_download.h"
#include "updater/frame_paced_paint.h"
#include "updater/sf_progressbar.h"

class Form1 : public zem::forms::Form {
public:
    Form1();

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;

    void oDownload_OnProgress(std::int32_t lProgress, std::int32_t lMaxProgress, std::int32_t lSpeed,
                              std::int32_t lStatusCode, const std::string& sStatusText);
    // Ends every process of the image name (the shell's routine).
    void KillVodSoft(const std::string& SoftName);
    // A failed upgrade has unloaded the window, which only waits, hidden, for
    // the failure balloon's time to end: nothing brings it back.
    bool WaitingOutTheFailure() const { return failed_; }

    zem::forms::Image Image1{*this, "Image1"};    // background, drag surface
    zem::forms::Image Image2{*this, "Image2"};    // close glyph
    zem::forms::Image Image3{*this, "Image3"};    // its normal picture
    zem::forms::Image Image4{*this, "Image4"};    // its hover picture
    zem::forms::Image Image5{*this, "Image5"};    // minimize glyph
    zem::forms::Image Image6{*this, "Image6"};
    zem::forms::Image Image7{*this, "Image7"};
    zem::forms::Image Image8{*this, "Image8"};    // upgrade button
    zem::forms::Image Image9{*this, "Image9"};
    zem::forms::Image Image10{*this, "Image10"};
    zem::forms::Label Label1{*this, "Label1"};    // the offer ("shengji")
    zem::forms::Label Label4{*this, "Label4"};    // the version is current ("wu")
    zem::forms::Label Label3{*this, "Label3"};    // percentage
    zem::forms::Label Label2{*this, "Label2"};    // "取消"
    SFProgressBar S{*this, "S"};
    zem::forms::Line Line1{*this, "Line1"};
    zem::forms::Line Line2{*this, "Line2"};
    zem::forms::Line Line3{*this, "Line3"};
    zem::forms::Line Line4{*this, "Line4"};
    // Runs once the failure balloon's time is over: the icon goes and the updater ends.
    zem::forms::Timer BalloonTimer{*this, "BalloonTimer"};

    zem::platform::ComRef<CFileDownload> oDownload;
    std::string sCommand;
    std::string sVersion;
    std::string sMode;

private:
    void Image1_MouseDown();
    void Image1_MouseMove();
    void Image2_Click();
    void Image2_MouseMove();
    void Image5_Click();
    void Image5_MouseMove();
    void Image8_Click();
    void Image8_MouseMove();
    void Label2_Click();
    void BalloonTimer_Timer();

    void InstallPackage();
    void RecordVersion();
    void ShowFailure();
    bool PackageHoldsBytes() const;
    bool KnownMode() const;
    void PaintProgress();

    // The failure balloon is showing: the window is gone for the user and
    // waits, hidden, for the balloon's time to end.
    bool failed_ = false;
    // The bar and the percentage take each report's values at once, but are
    // repainted at most once per display frame: a fast transfer reports
    // thousands of times a second, far more than the screen can show.
    zem::updater::FramePacedPaint progressPaint_{[this] { PaintProgress(); }};
};

// The package's address and the path it is saved under.
std::string PackageSource();
std::string PackageDestination(const std::string& source);

inline constexpr int kBalloonTimeout = 10000;
