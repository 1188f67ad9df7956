#include "preview_pane.h"

#include "contract.h"
#include "forms/form.h"
#include "forms/image_control.h"
#include "forms/stored_picture.h"
#include "forms/twips.h"
#include "frontend_resources.h"

#include <windows.h>

#include <cmath>
#include <memory>

namespace solvane {

namespace {

// How often the pane looks whether its host is still a window: a host
// process that ends may take its window without a word to ours.
constexpr UINT hostWatchInterval = 250;
constexpr UINT_PTR hostWatchTimer = 1;

class PreviewPane : public Form {
public:
    explicit PreviewPane(HWND host)
        : host_(host), still_(GetModuleHandleW(nullptr), SOLVANE_PREVIEW_STILL), Img_Prev(&still_) {}

    bool create() {
        static constexpr auto className = contract::wide(contract::previewClass);
        static constexpr auto caption = contract::wide(contract::previewTitle);
        return Form::create(className.text, caption.text, WS_POPUP, 0, RGB(0, 0, 0));
    }

    ImageControl& image() { return Img_Prev; }

    void watchHost() { SetTimer(window(), hostWatchTimer, hostWatchInterval, nullptr); }

protected:
    void onPaint(HDC dc) override { Img_Prev.paint(dc); }

    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER && wParam == hostWatchTimer) {
            if (!IsWindow(host_)) {
                DestroyWindow(window());
            }
            return 0;
        }
        return Form::onMessage(message, wParam, lParam);
    }

    void onDestroy() override {
        // A child has no owner; asked only as the pane's unload step does.
        PostQuitMessage(0);
    }

private:
    HWND host_;
    StoredPicture still_;
    ImageControl Img_Prev;
};

// The one pane of the process, alive until the process ends.
std::unique_ptr<PreviewPane> pane;

std::int16_t toTwips16(long pixels, double twipsPerPixel) {
    const double twips = std::nearbyint(static_cast<double>(pixels) * twipsPerPixel);
    return twips >= -32768.0 && twips <= 32767.0 ? static_cast<std::int16_t>(twips) : std::int16_t{0};
}

} // namespace

PaneSize paneSizeFor(long widthPixels, long heightPixels, double twipsX, double twipsY) {
    return {toTwips16(widthPixels, twipsX), toTwips16(heightPixels, twipsY)};
}

bool openPreviewPane(std::int32_t hostHandle) {
    HWND host = reinterpret_cast<HWND>(static_cast<INT_PTR>(hostHandle));
    // No host (0, no number, a window already gone): no pane that nobody
    // could ever close.
    if (!IsWindow(host)) {
        return false;
    }
    RECT hostRect{};
    GetWindowRect(host, &hostRect);
    // The host's own scale: its monitor may have other dots per inch than the screen's.
    const TwipsScale scale = windowScale(host);
    const PaneSize size = paneSizeFor(hostRect.right - hostRect.left, hostRect.bottom - hostRect.top,
                                      scale.twipsPerPixelX(), scale.twipsPerPixelY());

    pane = std::make_unique<PreviewPane>(host);
    if (!pane->create()) {
        pane.reset();
        return false;
    }
    HWND window = pane->window();
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_CHILD);
    SetParent(window, host);
    pane->setScale(scale);
    pane->moveTwips(0, 0, size.widthTwips, size.heightTwips);
    pane->image().resize(scale.pixelsX(size.widthTwips), scale.pixelsY(size.heightTwips));
    pane->image().move(0, 0);
    pane->show();
    pane->watchHost();
    return true;
}

} // namespace solvane
