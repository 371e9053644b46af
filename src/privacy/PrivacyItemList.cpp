#include "privacy/PrivacyItemList.h"

#include "core/TSetting.h"

const std::array<TPrivacyItemInfo, PrivacyItemCount>& PrivacyItemList() {
    static const std::array<TPrivacyItemInfo, PrivacyItemCount> items{{
        {"Internet Explorer 临时文件", &TSetting::IfClean_Internet_Explorer_Temporary_Files,
         &TSetting::SetIfClean_Internet_Explorer_Temporary_Files},
        {"上网访问网址的历史纪录", &TSetting::IfClean_Internet_Explorer_History,
         &TSetting::SetIfClean_Internet_Explorer_History},
        {"上网Cookies等隐私信息", &TSetting::IfClean_Internet_Explorer_Cookies,
         &TSetting::SetIfClean_Internet_Explorer_Cookies},
        {"Windows 使用过的文档纪录", &TSetting::IfClean_Windows_Recent_Files,
         &TSetting::SetIfClean_Windows_Recent_Files},
        {"Windows 下查找过的纪录", &TSetting::IfClean_Windows_Find_History,
         &TSetting::SetIfClean_Windows_Find_History},
        {"Windows 运行过的程序的纪录", &TSetting::IfClean_Windows_Run_History,
         &TSetting::SetIfClean_Windows_Run_History},
        {"Windows 临时文件碎片", &TSetting::IfClean_Windows_Temporary_Files,
         &TSetting::SetIfClean_Windows_Temporary_Files},
        {"回收站信息安全粉碎", &TSetting::IfClean_Recycle_Bin, &TSetting::SetIfClean_Recycle_Bin},
        {"清理桌面无效快捷方式", &TSetting::IfClean_Broken_ShutCuts, &TSetting::SetIfClean_Broken_ShutCuts},
    }};
    return items;
}
