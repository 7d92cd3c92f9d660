// Form2: the menu window. It is never shown; it holds the player's two popup
// menus, the tray menu `menu` and the page menu `MyMenu`.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/menu.h"
#include "platform/network/inet.h"

class Form2 : public zem::forms::Form {
public:
    Form2();

    // The installed and the server version during the manual upgrade check.
    zem::forms::TextBox Text1{*this, "Text1"};
    zem::forms::TextBox Text2{*this, "Text2"};
    zem::platform::Inet Inet1;

    // The tray menu, in its order ("-" is a separator line).
    zem::forms::Menu menu{"menu", "托盘菜单"};
    zem::forms::MenuItem& close = menu.Add("close", "退出程序");
    zem::forms::MenuItem& dhhhh = menu.Add("dhhhh", "检测升级");
    zem::forms::MenuItem& kkk = menu.Add("kkk", "留言求片");
    zem::forms::MenuItem& df = menu.Add("df", "-");
    zem::forms::MenuItem& gtt = menu.Add("gtt", "播放器反馈");
    zem::forms::MenuItem& shouye = menu.Add("shouye", "访问首页");
    zem::forms::MenuItem& hnn = menu.Add("hnn", "-");
    zem::forms::MenuItem& dddde = menu.Add("dddde", "关于我们");
    zem::forms::MenuItem& shnhhy = menu.Add("shnhhy", "软件设置");
    zem::forms::MenuItem& dddecc = menu.Add("dddecc", "-");
    zem::forms::MenuItem& display = menu.Add("display", "显示或隐藏");

    // The page menu over the library view.
    zem::forms::Menu MyMenu{"MyMenu", "右键"};
    zem::forms::MenuItem& houtui = MyMenu.Add("houtui", "后退一页");
    zem::forms::MenuItem& vgg = MyMenu.Add("vgg", "-");
    zem::forms::MenuItem& qianjin = MyMenu.Add("qianjin", "前进一页");
    zem::forms::MenuItem& SSE = MyMenu.Add("SSE", "-");
    zem::forms::MenuItem& shuaxin = MyMenu.Add("shuaxin", "刷新一下");
    zem::forms::MenuItem& DES = MyMenu.Add("DES", "-");
    zem::forms::MenuItem& O = MyMenu.Add("O", "返回首页");

    // The manual upgrade check: asks nothing, starts the updater with "wu"
    // or "shengji" when it is there, and the player keeps running.
    void shengji();

private:
    void close_Click();
    void dhhhh_Click();
    void kkk_Click();
    void gtt_Click();
    void shouye_Click();
    void dddde_Click();
    void shnhhy_Click();
    void display_Click();
    void houtui_Click();
    void qianjin_Click();
    void shuaxin_Click();
    void O_Click();
};
