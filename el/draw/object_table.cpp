#include "el/draw/object_table.h"

#include <algorithm>
#include <cstring>

#include "el/draw/display_state.h"
#include "el/draw/error_box.h"
#include "el/system/program_directory.h"
#include "platform/display/gdi.h"
#include "platform/resources.h"

namespace elDraw {

namespace {

using platform::DD_OK;
using platform::HResult;

constexpr const char* kTooLong = "ファイル名またはリソース名が長すぎます";
constexpr const char* kTooMany = "オブジェクト数が多過ぎます";
constexpr const char* kNotLoaded = "BMPファイルを読み込めません";

bool NameTooLong(const char* name) {
    return platform::NameUnits(name) > kMaxObjectNameLength;
}

void SetName(ObjectRecord& record, const char* name) {
    // A name within the limit always fits; the bound only guards the copy.
    record.name.fill('\0');
    std::memcpy(record.name.data(), name, std::min(std::strlen(name), kObjectNameSize - 1));
}

int FindFreeEntry() {
    for (int n = kFirstLoadableObject; n < kObjectCount; ++n) {
        if (Objects[static_cast<std::size_t>(n)].name[0] == '\0') return n;
    }
    return 0;
}

std::uint32_t CapsFor(std::int32_t memoryMode) {
    return memoryMode == 2 ? platform::DDSCAPS_OFFSCREENPLAIN
                           : platform::DDSCAPS_OFFSCREENPLAIN | platform::DDSCAPS_SYSTEMMEMORY;
}

HResult CreatePlainSurface(std::int32_t width, std::int32_t height, std::int32_t memoryMode,
                           platform::SurfacePtr& surface) {
    if (!DirectDraw) return platform::DDERR_GENERIC;
    platform::SurfaceDesc desc;
    desc.flags = platform::DDSD_CAPS | platform::DDSD_WIDTH | platform::DDSD_HEIGHT;
    desc.width = width;
    desc.height = height;
    desc.caps = CapsFor(memoryMode);
    return DirectDraw->CreateSurface(desc, surface);
}

void ApplyKeyState(ObjectRecord& record) {
    if (KeyFromCorner == 1) {
        SetSurfaceKey(record.surface.get(), platform::CLR_INVALID);
        record.key = platform::CLR_INVALID;
    } else {
        SetSurfaceKey(record.surface.get(), KeyColor);
        record.key = KeyColor;
    }
}

// The file next to the program, when its path fits the loaders' 256-byte buffer.
std::string ProgramPath(const char* name) {
    const std::string directory = elSystem::ProgramDirectory();
    if (directory.empty()) return {};
    std::string path = directory + name;
    if (path.size() >= static_cast<std::size_t>(elSystem::kPathBufferSize)) return {};
    return path;
}

bool Fail(const char* operation) {
    ErrorBox(operation, kNotLoaded, 0);
    return false;
}

// Loads a picture into an entry whose name is already set; false after an error box. A file
// next to the program that cannot be used gives way to the built-in picture, and a line on
// standard error says why.
bool LoadInto(ObjectRecord& record, const char* name, std::int32_t memoryMode,
              const char* operation) {
    const std::string path = ProgramPath(name);
    std::string refusal;
    if (!path.empty()) {
        record.surface = LoadBitmapSurface(path, record.width, record.height, memoryMode, &refusal);
        if (record.surface) {
            ApplyKeyState(record);
            return true;
        }
    }
    const std::optional<platform::DecodedBitmap> bitmap = platform::LoadBitmapResource(name);
    if (!refusal.empty()) {
        platform::ReportUnusableProgramFile(path, refusal, name, bitmap.has_value());
    }
    if (!bitmap) return Fail(operation);
    record.width = static_cast<std::uint16_t>(bitmap->width);
    record.height = static_cast<std::uint16_t>(bitmap->height);
    if (CreatePlainSurface(bitmap->width, bitmap->height, memoryMode, record.surface) != DD_OK) {
        return Fail(operation);
    }
    // As above: the picture is there to load, only the surface refused it for now.
    if (CopyBitmapToSurface(record.surface.get(), &*bitmap, 0, 0, 0, 0) != DD_OK) {
        record.surface->MarkLost();
    }
    ApplyKeyState(record);
    return true;
}

}  // namespace

ObjectRecord* FindObject(std::int32_t object) {
    if (object < 0 || object >= kObjectCount) return nullptr;
    return &Objects[static_cast<std::size_t>(object)];
}

platform::Surface* ObjectSurface(std::int32_t object) {
    ObjectRecord* record = FindObject(object);
    return record != nullptr ? record->surface.get() : nullptr;
}

platform::HResult SetSurfaceKey(platform::Surface* surface, platform::ColorRef color) {
    if (surface == nullptr) return platform::DDERR_INVALIDPARAMS;
    const std::uint32_t key = MatchColor(surface, color);
    return surface->SetColorKey(platform::DDCKEY_SRCBLT, platform::ColorKey{key, key});
}

std::uint32_t MatchColor(platform::Surface* surface, platform::ColorRef color) {
    std::uint32_t result = 0xFFFFFFFFu;
    if (surface == nullptr) return result;
    std::optional<platform::DeviceContext> dc;
    platform::ColorRef remembered = 0;
    const bool write = color != platform::CLR_INVALID;
    if (write && platform::GetDC(*surface, dc) == DD_OK) {
        remembered = dc->GetPixel(0, 0);
        dc->SetPixel(0, 0, color);
        platform::ReleaseDC(*surface, dc);
    }
    platform::SurfaceDesc desc;
    if (surface->Lock(desc) == DD_OK) {
        result = desc.memory[0];  // one 16-bit pixel: the word masked to the pixel's bits
        surface->Unlock();
    }
    if (write && platform::GetDC(*surface, dc) == DD_OK) {
        dc->SetPixel(0, 0, remembered);
        platform::ReleaseDC(*surface, dc);
    }
    return result;
}

platform::HResult CopyBitmapToSurface(platform::Surface* surface,
                                      const platform::DecodedBitmap* bitmap, std::int32_t x,
                                      std::int32_t y, std::int32_t width, std::int32_t height) {
    if (bitmap == nullptr || surface == nullptr) return platform::E_FAIL;
    surface->Restore();
    const platform::DeviceContext source(*bitmap);
    if (width == 0) width = bitmap->width;
    if (height == 0) height = bitmap->height;
    std::optional<platform::DeviceContext> dc;
    const HResult result = platform::GetDC(*surface, dc);
    if (result == DD_OK) {
        platform::StretchBlt(*dc, 0, 0, surface->width(), surface->height(), source, x, y, width,
                             height);
        platform::ReleaseDC(*surface, dc);
    }
    return result;
}

platform::SurfacePtr LoadBitmapSurface(const std::string& path, std::uint16_t& width,
                                       std::uint16_t& height, std::int32_t memoryMode,
                                       std::string* why) {
    std::optional<platform::DecodedBitmap> bitmap = platform::LoadBitmapResource(path);
    if (!bitmap) bitmap = platform::LoadBitmapFile(path, why);
    if (!bitmap) return nullptr;
    platform::SurfacePtr surface;
    if (CreatePlainSurface(bitmap->width, bitmap->height, memoryMode, surface) != DD_OK) {
        if (why != nullptr) *why = "no surface can hold the picture";
        return nullptr;
    }
    width = static_cast<std::uint16_t>(bitmap->width);
    height = static_cast<std::uint16_t>(bitmap->height);
    // A surface that could not take the picture now (a refused lock) is left lost, so that the
    // next restore loads it again rather than showing it blank.
    if (CopyBitmapToSurface(surface.get(), &*bitmap, 0, 0, 0, 0) != DD_OK) surface->MarkLost();
    return surface;
}

std::int32_t LoadObject(const char* name, std::int32_t memoryMode) {
    constexpr const char* kOperation = "elDraw::LoadObject";
    if (name == nullptr) name = "";
    if (NameTooLong(name)) return ErrorBox(kOperation, kTooLong, 0);
    const int n = FindFreeEntry();
    if (n == 0) return ErrorBox(kOperation, kTooMany, 0);
    ObjectRecord& record = Objects[static_cast<std::size_t>(n)];
    SetName(record, name);
    return LoadInto(record, name, memoryMode, kOperation) ? n : 0;
}

std::int32_t CreateObject(std::int32_t width, std::int32_t height, std::int32_t memoryMode) {
    constexpr const char* kOperation = "elDraw::CreateObject";
    const int n = FindFreeEntry();
    if (n == 0) return ErrorBox(kOperation, kTooMany, 0);
    ObjectRecord& record = Objects[static_cast<std::size_t>(n)];
    SetName(record, "*");
    // One row taller than asked, as the library always made them; the sum cannot overflow.
    const std::int64_t rows = static_cast<std::int64_t>(height) + 1;
    if (rows > platform::kMaxSurfaceSide ||
        CreatePlainSurface(width, static_cast<std::int32_t>(rows), memoryMode, record.surface) !=
            DD_OK) {
        return ErrorBox(kOperation, "スプライトを作成できません", 0);
    }
    record.width = static_cast<std::uint16_t>(width);
    record.height = static_cast<std::uint16_t>(rows);
    ApplyKeyState(record);
    return n;
}

std::int32_t SwapObject(const char* name, std::int32_t object, std::int32_t memoryMode) {
    constexpr const char* kOperation = "elDraw::SwapObject";
    if (name == nullptr) name = "";
    if (NameTooLong(name)) return ErrorBox(kOperation, kTooLong, 0);
    ObjectRecord* record = FindObject(object);
    if (record == nullptr) return ErrorBox(kOperation, kNotLoaded, 0);
    record->surface.reset();
    SetName(*record, name);
    return LoadInto(*record, name, memoryMode, kOperation) ? 1 : 0;
}

void ReleaseObject(std::int32_t object) {
    ObjectRecord* record = FindObject(object);
    if (record == nullptr || !record->surface) return;
    *record = ObjectRecord{};
}

void SetKeyColor(platform::ColorRef color) {
    KeyColor = color;
    KeyFromCorner = 0;
}

void SetKeyFromCorner() {
    KeyFromCorner = 1;
}

platform::HResult SetObjectKey(std::int32_t object, platform::ColorRef color) {
    ObjectRecord* record = FindObject(object);
    if (record == nullptr || !record->surface) return platform::DDERR_INVALIDPARAMS;
    record->key = color;
    return SetSurfaceKey(record->surface.get(), color);
}

void SetObjectKeyFromCorner(std::int32_t object) {
    ObjectRecord* record = FindObject(object);
    if (record == nullptr || !record->surface) return;
    record->key = platform::CLR_INVALID;
    SetSurfaceKey(record->surface.get(), platform::CLR_INVALID);
}

void CopyKey(std::int32_t destination, std::int32_t source) {
    platform::Surface* to = ObjectSurface(destination);
    platform::Surface* from = ObjectSurface(source);
    if (to == nullptr || from == nullptr) return;
    platform::ColorKey key;
    if (from->GetColorKey(platform::DDCKEY_SRCBLT, key) == DD_OK) {
        to->SetColorKey(platform::DDCKEY_SRCBLT, key);
    }
}

void RestoreSurfaces() {
    if (PrimarySurface) PrimarySurface->Restore();
    for (platform::Surface* surface :
         {BackSurface.get(), Objects[0].surface.get(), Objects[1].surface.get()}) {
        if (surface != nullptr && surface->IsLost()) surface->Restore();
    }
    for (int n = kFirstLoadableObject; n < kObjectCount; ++n) {
        ObjectRecord& record = Objects[static_cast<std::size_t>(n)];
        if (record.name[0] == '\0' || !record.surface || !record.surface->IsLost()) continue;
        record.surface->Restore();
        if (record.name[0] == '*') continue;  // blank objects keep their undefined contents
        const std::string name(record.name.data());
        SetKeyColor(record.key);
        SwapObject(name.c_str(), n, 2);
    }
}

}  // namespace elDraw
