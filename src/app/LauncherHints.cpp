#include "app/LauncherHints.h"

#include "core/MakerAddresses.h"

const THintTarget* TargetAt(std::span<const THintTarget> targets, int x, int y) {
    for (const THintTarget& t : targets)
        if (x >= t.Left && x < t.Left + t.Width && y >= t.Top && y < t.Top + t.Height)
            return &t;
    return nullptr;
}

const std::array<std::string, 7>& HintTexts() {
    static const std::array<std::string, 7> texts = {
        "点击功能按钮进入 ....",
        "智能引擎支持下的快速垃圾文件清理....",
        "磁盘空间目录级分析，通过图表让你直观地找出磁盘占用的原因...",
        "高级配置，定制你的参数 ...",
        "保护上网安全和隐私功能，擦除你上网留下的纪录...",
        std::string("有技术问题联系Msn: ") + MakerAddresses::Messenger + " ...",
        "计算机上应用程序管理，清理长期不用的应用程序可以大幅提升效率...",
    };
    return texts;
}

std::string HintLineText(int tag) { return "友情提示: " + HintTexts().at(static_cast<size_t>(tag)); }

std::string HelpButtonHint() {
    return std::string("每日技巧,有技术问题联系Msn: ") + MakerAddresses::Messenger + " ，或者上" +
           MakerAddresses::TechBlog + " 技术博客 ...";
}
