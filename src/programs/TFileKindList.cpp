#include "programs/TFileKindList.h"

#include "platform/FileIo.h"
#include "platform/TextCodec.h"
#include "programs/CommaText.h"

TFileKindList::TFileKindList() {
    for (int k = 1; k <= KindCount; ++k)
        FKinds.emplace_back(k, std::vector<std::string>{});
}

void TFileKindList::LoadFromFile(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    if (const auto bytes = Platform::ReadWholeFile(path, nullptr)) {
        // Written in the system's code page; a file that is valid UTF-8 (as the one we
        // ship) is taken as it stands, so its Chinese keywords match on every system.
        const std::string text = Platform::IsValidUtf8(*bytes) ? *bytes : Platform::SystemToUtf8(*bytes);
        size_t from = 0;
        while (from < text.size() && lines.size() < KindCount) {
            size_t end = text.find_first_of("\r\n", from);
            if (end == std::string::npos)
                end = text.size();
            lines.push_back(text.substr(from, end - from));
            from = end;
            if (from < text.size() && text[from] == '\r')
                ++from;
            if (from < text.size() && text[from] == '\n')
                ++from;
        }
    }
    FKinds.clear();
    for (int k = 1; k <= KindCount; ++k)
        FKinds.emplace_back(k, static_cast<size_t>(k) <= lines.size() ? SplitCommaText(lines[static_cast<size_t>(k) - 1])
                                                                      : std::vector<std::string>{});
}

TFileKind& TFileKindList::FindKind(const std::string& name) {
    for (TFileKind& kind : FKinds)
        if (kind.Matches(name))
            return kind;
    return FKinds.back();
}

const char* CategoryCaptionTemplate(int index) {
    static const char* const captions[] = {
        "编程开发(%d)", "系统工具(%d)", "驱动相关(%d)", "应用工具(%d)", "聊天工具(%d)",
        "影音播放(%d)", "网络工具(%d)", "网页浏览(%d)", "安全防护(%d)", "图形图像(%d)",
        "压缩工具(%d)", "股票证券(%d)", "中文输入(%d)", "网络电视(%d)", "下载工具(%d)",
        "学习相关(%d)", "网上银行(%d)", "网络游戏(%d)", "电子邮件(%d)", "其它分类(%d)"};
    return index >= 0 && index < 20 ? captions[index] : "";
}
