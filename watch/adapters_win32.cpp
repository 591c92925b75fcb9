#include "watch/adapters.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <dbt.h>
// winioctl.h defines GUID_DEVINTERFACE_COMPORT only after initguid.h.
#include <initguid.h>
#include <winioctl.h>

#include <condition_variable>
#include <cwctype>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "link/com_port_device.h"

namespace {

const char* const kNoArrivals = "no device arrival notifications: error ";
const wchar_t* const kWindowClass = L"KavrinAdapterArrivals";
// The list of interfaces can grow between asking its size and reading it.
constexpr int kListTries = 5;

using RegisterNotification = CONFIGRET(WINAPI*)(PCM_NOTIFY_FILTER, PVOID, PCM_NOTIFY_CALLBACK, PHCMNOTIFICATION);
using UnregisterNotification = CONFIGRET(WINAPI*)(HCMNOTIFICATION);

// Windows spells one interface's path in either case.
std::wstring Key(std::wstring path) {
    for (wchar_t& c : path) c = static_cast<wchar_t>(std::towupper(c));
    return path;
}

// The COM port interfaces as the system's threads announce them, handed
// over to the caller of Next.
class ComPortArrivals final : public PortEvents {
public:
    ~ComPortArrivals() override {
        if (notification_ != nullptr) unregister_(notification_);
        if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
        if (windowThread_.joinable()) windowThread_.join();
        if (configManager_ != nullptr) FreeLibrary(configManager_);
    }

    // Arrivals first, then the list of what is present: nothing is missed between the two.
    std::string Start() {
        configManager_ = LoadLibraryW(L"cfgmgr32.dll");
        const DWORD code = RegisterWithConfigManager() ? ERROR_SUCCESS : RegisterWithWindow();
        if (code != ERROR_SUCCESS) return kNoArrivals + std::to_string(code);
        ListPresent();
        return {};
    }

    std::vector<PortEvent> Next(std::chrono::milliseconds wait) override {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, wait, [this] { return !pending_.empty(); });
        std::vector<PortEvent> events;
        events.swap(pending_);
        return events;
    }

    // Only USB serial adapters: a Bluetooth port is there whether its reader is on or not.
    void Arrived(const std::wstring& path) {
        const ComPortDevice device = ComPortOfInterface(path);
        if (device.port.empty() || device.usbId.empty()) return;
        std::lock_guard<std::mutex> lock(mutex_);
        ports_[Key(path)] = device.port;
        Pass({PortChange::Appeared, device.port});
    }

    // The interface is gone from the registry too: its port is what Arrived kept.
    void Removed(const std::wstring& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = ports_.find(Key(path));
        if (found == ports_.end()) return;
        Pass({PortChange::Gone, found->second});
        ports_.erase(found);
    }

private:
    void Pass(const PortEvent& event) {
        if (!present_.Apply(event)) return;
        pending_.push_back(event);
        changed_.notify_one();
    }

    static DWORD CALLBACK OnNotification(HCMNOTIFICATION, PVOID context, CM_NOTIFY_ACTION action,
                                         PCM_NOTIFY_EVENT_DATA data, DWORD) {
        auto* self = static_cast<ComPortArrivals*>(context);
        if (data->FilterType != CM_NOTIFY_FILTER_TYPE_DEVICEINTERFACE) return ERROR_SUCCESS;
        const std::wstring path = data->u.DeviceInterface.SymbolicLink;
        if (action == CM_NOTIFY_ACTION_DEVICEINTERFACEARRIVAL) self->Arrived(path);
        if (action == CM_NOTIFY_ACTION_DEVICEINTERFACEREMOVAL) self->Removed(path);
        return ERROR_SUCCESS;
    }

    // Windows 8 and later.
    bool RegisterWithConfigManager() {
        if (configManager_ == nullptr) return false;
        auto registerWith = reinterpret_cast<RegisterNotification>(
            reinterpret_cast<void*>(GetProcAddress(configManager_, "CM_Register_Notification")));
        unregister_ = reinterpret_cast<UnregisterNotification>(
            reinterpret_cast<void*>(GetProcAddress(configManager_, "CM_Unregister_Notification")));
        if (registerWith == nullptr || unregister_ == nullptr) return false;
        CM_NOTIFY_FILTER filter{};
        filter.cbSize = sizeof filter;
        filter.FilterType = CM_NOTIFY_FILTER_TYPE_DEVICEINTERFACE;
        filter.u.DeviceInterface.ClassGuid = GUID_DEVINTERFACE_COMPORT;
        if (registerWith(&filter, this, OnNotification, &notification_) == CR_SUCCESS) return true;
        notification_ = nullptr;
        return false;
    }

    static LRESULT CALLBACK OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ComPortArrivals*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        if (message == WM_DEVICECHANGE && self != nullptr && header != nullptr &&
            header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
            const std::wstring path = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header)->dbcc_name;
            if (wParam == DBT_DEVICEARRIVAL) self->Arrived(path);
            if (wParam == DBT_DEVICEREMOVECOMPLETE) self->Removed(path);
            return TRUE;
        }
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    // Windows 7: a message-only window on a thread of its own gets WM_DEVICECHANGE.
    DWORD RegisterWithWindow() {
        std::promise<DWORD> registered;
        std::future<DWORD> result = registered.get_future();
        windowThread_ = std::thread([this, &registered] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = OnMessage;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = kWindowClass;
            RegisterClassW(&windowClass);
            HWND window = CreateWindowW(kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        windowClass.hInstance, nullptr);
            if (window == nullptr) {
                registered.set_value(GetLastError());
                return;
            }
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            DEV_BROADCAST_DEVICEINTERFACE_W filter{};
            filter.dbcc_size = sizeof filter;
            filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
            filter.dbcc_classguid = GUID_DEVINTERFACE_COMPORT;
            HDEVNOTIFY notify = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
            if (notify == nullptr) {
                registered.set_value(GetLastError());
                DestroyWindow(window);
                return;
            }
            window_ = window;
            registered.set_value(ERROR_SUCCESS);
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
            UnregisterDeviceNotification(notify);
        });
        const DWORD code = result.get();
        if (code != ERROR_SUCCESS) windowThread_.join();
        return code;
    }

    void ListPresent() {
        std::vector<wchar_t> list;
        CONFIGRET code = CR_BUFFER_SMALL;
        for (int i = 0; i < kListTries && code == CR_BUFFER_SMALL; ++i) {
            ULONG size = 0;
            code = CM_Get_Device_Interface_List_SizeW(&size, const_cast<GUID*>(&GUID_DEVINTERFACE_COMPORT), nullptr,
                                                      CM_GET_DEVICE_INTERFACE_LIST_PRESENT);
            if (code != CR_SUCCESS) return;
            list.assign(size, L'\0');
            code = CM_Get_Device_Interface_ListW(const_cast<GUID*>(&GUID_DEVINTERFACE_COMPORT), nullptr, list.data(),
                                                 size, CM_GET_DEVICE_INTERFACE_LIST_PRESENT);
        }
        if (code != CR_SUCCESS) return;
        for (const wchar_t* path = list.data(); path < list.data() + list.size() && *path != L'\0';
             path += std::wcslen(path) + 1)
            Arrived(path);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<PortEvent> pending_;
    PresentPorts present_;
    std::map<std::wstring, std::string> ports_;  // each adapter's interface, by Key, and its port
    HMODULE configManager_ = nullptr;
    HCMNOTIFICATION notification_ = nullptr;
    UnregisterNotification unregister_ = nullptr;
    HWND window_ = nullptr;
    std::thread windowThread_;
};

}  // namespace

AdapterWatch WatchAdapters() {
    auto arrivals = std::make_unique<ComPortArrivals>();
    std::string error = arrivals->Start();
    if (!error.empty()) return {nullptr, error};
    return {std::move(arrivals), {}};
}
