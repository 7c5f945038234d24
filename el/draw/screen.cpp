#include "el/draw/screen.h"

#include "el/draw/clip_rect.h"
#include "el/draw/cursor.h"
#include "el/draw/display_state.h"
#include "el/draw/error_box.h"
#include "el/draw/object_table.h"
#include "el/effects/pixel_format.h"
#include "el/sound/midi_state.h"
#include "el/sound/sound_device.h"
#include "el/system/build_settings.h"
#include "el/system/font_block.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "el/system/joystick.h"
#include "el/system/scroll_page_state.h"

namespace elDraw {

namespace {

using platform::DD_OK;
using platform::HResult;

constexpr const char* kOperation = "elDraw::Screen";

int Fail(const char* message) {
    return ErrorBox(kOperation, message, 0);
}

HResult CreatePlain(std::int32_t width, std::int32_t height, std::uint32_t memoryFlag,
                    platform::SurfacePtr& surface) {
    platform::SurfaceDesc desc;
    desc.flags = platform::DDSD_CAPS | platform::DDSD_WIDTH | platform::DDSD_HEIGHT;
    desc.width = width;
    desc.height = height;
    desc.caps = memoryFlag | platform::DDSCAPS_OFFSCREENPLAIN;
    return DirectDraw->CreateSurface(desc, surface);
}

// Objects 0 and 1: screen-sized scratch surfaces with a black key and no name.
bool CreateReservedObject(int object, std::int32_t width, std::int32_t height,
                          std::uint32_t memoryFlag) {
    ObjectRecord& record = Objects[static_cast<std::size_t>(object)];
    if (CreatePlain(width, height, memoryFlag, record.surface) != DD_OK) return false;
    SetSurfaceKey(record.surface.get(), 0);
    record.key = 0;
    record.width = static_cast<std::uint16_t>(width);
    record.height = static_cast<std::uint16_t>(height);
    return true;
}

// The start state of the layers above the display, in the order the library relies on.
void StartOtherLayers() {
    elSound::Init();
    elSound::ResetObjectTable();
    elSound::ResetMidiState();
    elSystem::ClearWaits();
    elSystem::ResumeInput();
    elSystem::SysKeysPass = 0;
    elSystem::AllocateFontBlock();
    elSystem::InitJoystick();
    if (elSystem::CursorClipMode == 1) ConfineCursor();
}

}  // namespace

bool ChooseDevice(const char* guid, const char*, const char*, void* context) {
    auto* chosen = static_cast<std::unique_ptr<platform::DisplayDevice>*>(context);
    HardwareDeviceChosen = 0;
    std::unique_ptr<platform::DisplayDevice> device;
    if (platform::DirectDrawCreate(guid, device) != DD_OK) return true;
    platform::DeviceCaps driver;
    platform::DeviceCaps emulation;
    device->GetCaps(&driver, &emulation);
    if ((driver.caps & platform::DDCAPS_3D) != 0 &&
        (driver.surfaceCaps & platform::DDSCAPS_TEXTURE) != 0) {
        *chosen = std::move(device);
        HardwareDeviceChosen = 1;
        return false;
    }
    chosen->reset();
    return true;
}

int GetColorDepth() {
    // The desktop under the window; every Linux desktop today is at least 24 bits deep.
    return 32;
}

int Screen(std::int32_t width, std::int32_t height, std::int32_t memoryMode) {
    if (width == -1) {
        width = DefaultScreenWidth;
        height = DefaultScreenHeight;
    }
    ScreenWidth = width;
    ScreenHeight = height;
    SetClipRect(0, 0, width, height);

    platform::DirectDrawEnumerate(&ChooseDevice, &DirectDraw);
    if (!DirectDraw && platform::DirectDrawCreate(nullptr, DirectDraw) != DD_OK) {
        DirectDraw.reset();
        return Fail("DirectDrawが使用できません");
    }
    std::uint32_t memoryFlag =
        (memoryMode == 1 || memoryMode == 3) ? 0u : platform::DDSCAPS_SYSTEMMEMORY;
    const bool fullScreen = elSystem::FullScreen == 1;
    const std::uint32_t level =
        fullScreen
            ? platform::DDSCL_EXCLUSIVE | platform::DDSCL_FULLSCREEN | platform::DDSCL_ALLOWREBOOT
            : platform::DDSCL_NORMAL;
    if (DirectDraw->SetCooperativeLevel(level) != DD_OK) return Fail("フルスクリーン化できません");
    if (fullScreen) {
        HResult mode = DirectDraw->SetDisplayMode(width, height, DisplayDepth);
        if (mode != DD_OK && DisplayDepth == 32) {
            DisplayDepth = 24;
            mode = DirectDraw->SetDisplayMode(width, height, DisplayDepth);
        }
        if (mode != DD_OK) return Fail("解像度が変更できません");
    }
    platform::SurfaceDesc primary;
    primary.flags = platform::DDSD_CAPS;
    primary.caps = memoryFlag | platform::DDSCAPS_PRIMARYSURFACE;
    if (DirectDraw->CreateSurface(primary, PrimarySurface) != DD_OK) {
        return Fail("表画面が生成できません");
    }
    if (CreatePlain(width, height, memoryFlag, BackSurface) != DD_OK) {
        return Fail("裏画面が生成できません");
    }
    if (!fullScreen) {
        if (DirectDraw->CreateClipper() != DD_OK) return Fail("クリップが生成できません");
        ClipperExists = true;
        if (DirectDraw->SetClipperWindow() != DD_OK) {
            return Fail("クリップにウィンドウハンドルを設定できません");
        }
        if (DirectDraw->SetClipper(*PrimarySurface) != DD_OK) {
            return Fail("表画面をクリップできません");
        }
    }
    if (memoryMode == 3) memoryFlag = platform::DDSCAPS_SYSTEMMEMORY;
    if (!CreateReservedObject(0, width, height, memoryFlag)) {
        return Fail("Bufferスプライトが生成できません");
    }
    if (!CreateReservedObject(1, width, height, memoryFlag)) {
        return Fail("Screenスプライトが生成できません");
    }

    platform::DeviceCaps driver;
    platform::DeviceCaps emulation;
    DirectDraw->GetCaps(&driver, &emulation);
    const platform::DeviceCaps& caps = HardwareDeviceChosen == 1 ? driver : emulation;
    StretchCapable = (caps.caps & platform::DDCAPS_BLTSTRETCH) != 0 ? 1 : 0;

    platform::PixelFormatDesc format;
    if (BackSurface->GetPixelFormat(format) != DD_OK) return Fail("ピクセル情報が取得できません");
    PixelFormat = ComputePixelFormat(format.redMask, format.greenMask, format.blueMask);
    FillSineTable();
    // The effects' tables follow the back surface, which is always 16 bits deep here; the
    // desktop's own depth says nothing about the surfaces the effects work on.
    if (format.bitCount == 16) FillEffectTables();

    for (int n = kFirstLoadableObject; n < kObjectCount; ++n) {
        Objects[static_cast<std::size_t>(n)] = ObjectRecord{};
    }
    elSystem::ScrollBackgroundObject = 0;
    elSystem::ScrollPageObject = 0;
    PresentSource = {0, 0, width, height};
    elSystem::PresentRect = {elSystem::ClientLeft, elSystem::ClientTop,
                             elSystem::ClientLeft + width, elSystem::ClientTop + height};
    StartOtherLayers();
    return 1;
}

}  // namespace elDraw
