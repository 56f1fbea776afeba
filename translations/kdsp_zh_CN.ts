<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About Karaoke DSP Control</source>
        <translation>关于卡拉OK DSP 控制</translation>
    </message>
    <message>
        <source>&lt;b&gt;Karaoke DSP Control&lt;/b&gt; %1</source>
        <translation>&lt;b&gt;卡拉OK DSP 控制&lt;/b&gt; %1</translation>
    </message>
    <message>
        <source>Runs a karaoke effects processor from the PC, over USB or through its WiFi module.</source>
        <translation>在电脑上通过 USB 或处理器的 WiFi 模块控制卡拉OK效果处理器。</translation>
    </message>
    <message>
        <source>Copyright © 2026 the Karaoke DSP Control developers.</source>
        <translation>版权所有 © 2026 卡拉OK DSP 控制开发者。</translation>
    </message>
    <message>
        <source>This program is free software: you can redistribute it and/or modify it under the terms of the GNU General Public License as published by the Free Software Foundation, either version 3 of the License, or (at your option) any later version. It comes with ABSOLUTELY NO WARRANTY.</source>
        <translation>本程序是自由软件：您可以依据自由软件基金会发布的 GNU 通用公共许可证（GNU General Public License）第 3 版或（由您选择）任何更高版本的条款再发布和/或修改它。本程序不附带任何担保。</translation>
    </message>
    <message>
        <source>Built with Qt %1, running on Qt %2.</source>
        <translation>基于 Qt %1 构建，运行于 Qt %2。</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>usage: kdsp [--simulate] [--connect tcp://HOST:PORT] [--service-menu]
            [--remote [ADDR:]PORT] [--lang en|zh_CN]

  --simulate                 start with the simulated processor plugged in on USB
  --connect tcp://HOST:PORT  switch WiFi control on at start, toward HOST:PORT
  --service-menu             show the Presets menu&apos;s service items
  --remote [ADDR:]PORT       serve the phone remote on PORT (0: a free one), on every
                             interface or on ADDR; prints the address and pairing code
  --page PAGE                open an effect page at start: mic music echo reverb main
                             center subwoofer surround
  --screenshot FILE          save the main window (or the page) once shown, then quit
  --instance NAME            run as a private instance NAME, apart from the user&apos;s
                             kdsp (also KDSP_INSTANCE_NAME=NAME)
  --lang en|zh_CN            speak English or Simplified Chinese, whatever the
                             desktop&apos;s language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)
  --version                  print the program&apos;s version
  --help                     this text

When kdsp is already running, a new start brings it to the front and passes --connect,
--page, --screenshot and --remote to it (the running kdsp saves the screenshot, starts
the remote unless it serves one already, and goes on); --simulate, --service-menu and
--lang take effect only at start, and the new start says so.
</source>
        <translation>用法：kdsp [--simulate] [--connect tcp://主机:端口] [--service-menu]
            [--remote [地址:]端口] [--lang en|zh_CN]

  --simulate                 以 USB 接入的模拟处理器启动
  --connect tcp://主机:端口  启动时打开 WiFi 控制，连接到 主机:端口
  --service-menu             显示预设菜单中的维修项目
  --remote [地址:]端口       在端口上提供手机遥控（0：任一空闲端口），监听所有
                             网络接口或地址；打印访问地址和配对码
  --page 页面                启动时打开效果页面：mic music echo reverb main
                             center subwoofer surround
  --screenshot 文件          主窗口（或页面）显示后保存截图，然后退出
  --instance 名称            以私有实例“名称”运行，与用户自己的 kdsp 分开
                             （也可用 KDSP_INSTANCE_NAME=名称）
  --lang en|zh_CN            使用英文或简体中文，不论桌面语言如何
                             （LANGUAGE、LC_ALL、LC_MESSAGES、LANG）
  --version                  打印程序版本
  --help                     显示本说明

kdsp 已在运行时，再次启动会把它带到前台，并把 --connect、--page、--screenshot 和
--remote 交给它（运行中的 kdsp 保存截图，若尚未提供遥控则启动遥控，然后继续运行）；
--simulate、--service-menu 和 --lang 只在启动时生效，再次启动时会说明这一点。
</translation>
    </message>
    <message>
        <source>--lang takes en or zh_CN, not &apos;%1&apos;</source>
        <translation>--lang 只接受 en 或 zh_CN，而不是“%1”</translation>
    </message>
    <message>
        <source>unknown page &apos;%1&apos;</source>
        <translation>未知页面“%1”</translation>
    </message>
    <message>
        <source>--connect takes tcp://HOST:PORT, not &apos;%1&apos;</source>
        <translation>--connect 需要 tcp://主机:端口，而不是“%1”</translation>
    </message>
    <message>
        <source>unknown argument &apos;%1&apos;</source>
        <translation>未知参数“%1”</translation>
    </message>
    <message>
        <source>an instance name is 1 to 64 letters, digits, &apos;.&apos;, &apos;_&apos; and &apos;-&apos;, not &apos;%1&apos;</source>
        <translation>实例名称由 1 到 64 个字母、数字、“.”、“_”和“-”组成，而不是“%1”</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Pink Noise Test</source>
        <translation>粉噪测试</translation>
    </message>
    <message>
        <source>Click a white box to start the test</source>
        <translation>请点击白色框以打开粉噪测试</translation>
    </message>
    <message>
        <source>Noise Level</source>
        <translation>粉噪音量</translation>
    </message>
    <message>
        <source>Main L</source>
        <translation>主输出左</translation>
    </message>
    <message>
        <source>Main R</source>
        <translation>主输出右</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中置</translation>
    </message>
    <message>
        <source>Subwoofer</source>
        <translation>低音</translation>
    </message>
    <message>
        <source>Surround L</source>
        <translation>环绕左</translation>
    </message>
    <message>
        <source>Surround R</source>
        <translation>环绕右</translation>
    </message>
    <message>
        <source>Back L</source>
        <translation>后置左</translation>
    </message>
    <message>
        <source>Back R</source>
        <translation>后置右</translation>
    </message>
    <message>
        <source>Recording Mix</source>
        <translation>录音附加调节</translation>
    </message>
    <message>
        <source>Music Min</source>
        <translation>音乐最小</translation>
    </message>
    <message>
        <source>Music Max</source>
        <translation>音乐最大</translation>
    </message>
    <message>
        <source>Mic Min</source>
        <translation>麦克风最小</translation>
    </message>
    <message>
        <source>Mic Max</source>
        <translation>麦克风最大</translation>
    </message>
    <message>
        <source>Effect Min</source>
        <translation>效果最小</translation>
    </message>
    <message>
        <source>Effect Max</source>
        <translation>效果最大</translation>
    </message>
    <message>
        <source>Rec Music</source>
        <translation>录音音乐音量</translation>
    </message>
    <message>
        <source>Rec Mic</source>
        <translation>录音麦克风音量</translation>
    </message>
    <message>
        <source>Rec Effect</source>
        <translation>录音效果音量</translation>
    </message>
    <message>
        <source>Rev </source>
        <translation>混响</translation>
    </message>
    <message>
        <source>Damp</source>
        <translation>阻尼</translation>
    </message>
    <message>
        <source>Wet</source>
        <translation>湿声</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>宽度</translation>
    </message>
    <message>
        <source>Rev Level</source>
        <translation>混响音量</translation>
    </message>
    <message>
        <source>Rev Time</source>
        <translation>混响时间</translation>
    </message>
    <message>
        <source>Rev Pre Delay</source>
        <translation>混响预延时</translation>
    </message>
</context>
<context>
    <name>EffectPage</name>
    <message>
        <source>Import Filters…</source>
        <translation>导入滤波器…</translation>
    </message>
    <message>
        <source>Export Filters…</source>
        <translation>导出滤波器…</translation>
    </message>
    <message>
        <source>Export Response (CSV)…</source>
        <translation>导出频响曲线 (CSV)…</translation>
    </message>
    <message>
        <source>Export Picture (PNG)…</source>
        <translation>导出图片 (PNG)…</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>The chart could not be made into a picture.</source>
        <translation>无法将曲线图保存为图片。</translation>
    </message>
    <message>
        <source>The processor did not send the slot&apos;s settings in time. Nothing was changed.</source>
        <translation>处理器未及时发送该预设的设置，未作任何更改。</translation>
    </message>
    <message>
        <source>Processor</source>
        <translation>处理器</translation>
    </message>
    <message>
        <source>Please Input Password</source>
        <translation>请输入密码</translation>
    </message>
    <message>
        <source>Please Input Old Password </source>
        <translation>请输入旧密码</translation>
    </message>
    <message>
        <source>New Password</source>
        <translation>新密码</translation>
    </message>
    <message>
        <source>Please Input New Password ( 0 -999)</source>
        <translation>请输入新密码（0-999）</translation>
    </message>
    <message>
        <source>Please select one item to modify!</source>
        <translation>请选择要修改的一项！</translation>
    </message>
    <message>
        <source>No device connecting!</source>
        <translation>没有连接设备！</translation>
    </message>
    <message>
        <source>Download Done!</source>
        <translation>下载完成！</translation>
    </message>
    <message>
        <source>Finish!</source>
        <translation>完成！</translation>
    </message>
    <message>
        <source>Password Error!</source>
        <translation>密码错误！</translation>
    </message>
    <message>
        <source>Password can&apos;t large than 999</source>
        <translation>密码不能大于 999</translation>
    </message>
    <message>
        <source>Please select a folder to save all setting</source>
        <translation>请选择保存全部设置的文件夹</translation>
    </message>
    <message>
        <source>Please Input Lock Password</source>
        <translation>请输入锁定密码</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>同步</translation>
    </message>
    <message>
        <source>Sync with connecting device?</source>
        <translation>与已连接的设备同步吗？</translation>
    </message>
    <message>
        <source>Wifi Error</source>
        <translation>WiFi 错误</translation>
    </message>
    <message>
        <source>No connecting device!</source>
        <translation>没有连接设备！</translation>
    </message>
    <message>
        <source>Size too large</source>
        <translation>数据太大</translation>
    </message>
    <message>
        <source>Version no match!</source>
        <translation>版本不匹配！</translation>
    </message>
    <message>
        <source>Empty or checksum error record!</source>
        <translation>记录为空或校验和错误！</translation>
    </message>
    <message>
        <source>The processor did not acknowledge the transfer in time. The upload was stopped and the preset slot was left unchanged.</source>
        <translation>处理器未及时确认传输。上传已停止，预设位置保持不变。</translation>
    </message>
    <message>
        <source>The processor was disconnected during the transfer. The preset slot was left unchanged.</source>
        <translation>传输过程中处理器断开连接。预设位置保持不变。</translation>
    </message>
    <message>
        <source>The connection to the processor was closed during the transfer. The preset slot was left unchanged.</source>
        <translation>传输过程中与处理器的连接已关闭。预设位置保持不变。</translation>
    </message>
    <message>
        <source>The processor did not acknowledge storing the settings in time. The preset slot may have been rewritten: read it back to check.</source>
        <translation>处理器未及时确认保存设置。预设位置可能已被改写：请读回检查。</translation>
    </message>
    <message>
        <source>The processor was disconnected before it acknowledged storing the settings. The preset slot may have been rewritten: read it back to check.</source>
        <translation>处理器在确认保存设置之前断开连接。预设位置可能已被改写：请读回检查。</translation>
    </message>
    <message>
        <source>The connection to the processor was closed before it acknowledged storing the settings. The preset slot may have been rewritten: read it back to check.</source>
        <translation>处理器确认保存设置之前，与它的连接已关闭。预设位置可能已被改写：请读回检查。</translation>
    </message>
    <message>
        <source>the connection to the processor was closed</source>
        <translation>与处理器的连接已关闭</translation>
    </message>
    <message>
        <source>Microphone Calibration(*.txt *.cal *.frd)|*.txt|All Files(*.*)|*.*</source>
        <translation>话筒校准文件(*.txt *.cal *.frd)|*.txt|所有文件(*.*)|*.*</translation>
    </message>
    <message>
        <source>CSV Text(*.csv)|*.csv</source>
        <translation>CSV 文本(*.csv)|*.csv</translation>
    </message>
    <message>
        <source>No sound input was found; the spectrum cannot be shown.</source>
        <translation>未找到声音输入，无法显示频谱。</translation>
    </message>
    <message>
        <source>The sound input cannot record 16-bit mono at 44100 Hz; the spectrum cannot be shown.</source>
        <translation>声音输入无法以 44100 Hz 16 位单声道录音，无法显示频谱。</translation>
    </message>
    <message>
        <source>The sound input could not be opened; the spectrum cannot be shown.</source>
        <translation>无法打开声音输入，无法显示频谱。</translation>
    </message>
    <message>
        <source>The sound input stopped working; the spectrum analyser was switched off.</source>
        <translation>声音输入停止工作，实时频谱分析已关闭。</translation>
    </message>
    <message>
        <source>Transfer data to device?</source>
        <translation>将数据传送到设备吗？</translation>
    </message>
    <message>
        <source>Audio Setting(*.aex)|*.aex|All Files(*.*)|*.*</source>
        <translation>音效设置(*.aex)|*.aex|所有文件(*.*)|*.*</translation>
    </message>
    <message>
        <source>Audio Setting(*.aex)|*.aex</source>
        <translation>音效设置(*.aex)|*.aex</translation>
    </message>
    <message>
        <source>Audio Config(*.set)|*.set|All Files(*.*)|*.*</source>
        <translation>音效配置(*.set)|*.set|所有文件(*.*)|*.*</translation>
    </message>
    <message>
        <source>Audio Setting(*.set)|*.set</source>
        <translation>音效配置(*.set)|*.set</translation>
    </message>
    <message>
        <source>Filter Settings(*.txt)|*.txt|All Files(*.*)|*.*</source>
        <translation>滤波器设置(*.txt)|*.txt|所有文件(*.*)|*.*</translation>
    </message>
    <message>
        <source>Filter Settings(*.txt)|*.txt</source>
        <translation>滤波器设置(*.txt)|*.txt</translation>
    </message>
    <message>
        <source>Response(*.csv)|*.csv</source>
        <translation>频响曲线(*.csv)|*.csv</translation>
    </message>
    <message>
        <source>Picture(*.png)|*.png</source>
        <translation>图片(*.png)|*.png</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <source>there is no such file</source>
        <translation>没有这个文件</translation>
    </message>
    <message>
        <source>it is not a setting file (File Version error!)</source>
        <translation>不是设置文件（文件版本错误！）</translation>
    </message>
    <message>
        <source>it is not a setting file for this processor</source>
        <translation>不是本处理器的设置文件</translation>
    </message>
    <message>
        <source>it is too short for a setting file (%1 bytes, %2 expected)</source>
        <translation>作为设置文件太短（%1 字节，应为 %2 字节）</translation>
    </message>
    <message>
        <source>it was loaded</source>
        <translation>已载入</translation>
    </message>
    <message>
        <source>%1 did not store every slot it was given.</source>
        <translation>%1未能保存所有指定的预设位置。</translation>
    </message>
    <message>
        <source>Stored: no slot.</source>
        <translation>已保存：无。</translation>
    </message>
    <message>
        <source>Stored: %1.</source>
        <translation>已保存：%1。</translation>
    </message>
    <message>
        <source>Skipped %1: %2: %3.</source>
        <translation>已跳过 %1：%2：%3。</translation>
    </message>
    <message>
        <source>%1 stopped at slot %2: that slot and the ones after it were not stored.</source>
        <translation>%1在预设位置 %2 处停止：该位置及其后的位置均未保存。</translation>
    </message>
    <message>
        <source>Nothing was changed.</source>
        <translation>未作任何更改。</translation>
    </message>
    <message>
        <source>Burn</source>
        <translation>烧录</translation>
    </message>
    <message>
        <source>Upload All stopped at slot %1: %2. Nothing was written and the group was not changed.</source>
        <translation>全部上传在预设位置 %1 处停止：%2。未写入任何文件，组未更改。</translation>
    </message>
    <message>
        <source>Upload All could not write the settings: %1. Nothing in the folder was replaced and the group was not changed.</source>
        <translation>全部上传无法写入设置：%1。文件夹中的文件均未被替换，组未更改。</translation>
    </message>
    <message>
        <source>Download All</source>
        <translation>全部下载</translation>
    </message>
    <message>
        <source>the processor could not be asked for it</source>
        <translation>无法向处理器请求</translation>
    </message>
    <message>
        <source>the processor did not send its settings in time</source>
        <translation>处理器未及时发送其设置</translation>
    </message>
    <message>
        <source>the processor was disconnected</source>
        <translation>处理器已断开连接</translation>
    </message>
    <message>
        <source>the processor sent no settings for it</source>
        <translation>处理器没有发送它的设置</translation>
    </message>
    <message>
        <source>its settings arrived incomplete (%1 missing)</source>
        <translation>它的设置接收不完整（缺少 %1）</translation>
    </message>
    <message>
        <source>Factory</source>
        <translation>出厂设置</translation>
    </message>
    <message>
        <source>From processor</source>
        <translation>来自处理器</translation>
    </message>
    <message>
        <source>Slot %1</source>
        <translation>预设 %1</translation>
    </message>
    <message>
        <source>The processor&apos;s settings arrived incomplete: %1 of %2 did not arrive. Nothing was changed.</source>
        <translation>处理器的设置未完整传回：%2 块中的 %1 未收到。未做任何更改。</translation>
    </message>
    <message>
        <source>The processor is connected at %1, but this user may not open it (%2).

Allow access with a udev rule, for example in /etc/udev/rules.d/70-kdsp.rules:
SUBSYSTEM==&quot;hidraw&quot;, ATTRS{idVendor}==&quot;0483&quot;, ATTRS{idProduct}==&quot;0157&quot;, TAG+=&quot;uaccess&quot;

then unplug the processor and plug it in again.</source>
        <translation>处理器已连接在 %1，但当前用户无权打开它（%2）。

请用 udev 规则允许访问，例如在 /etc/udev/rules.d/70-kdsp.rules 中写入：
SUBSYSTEM==&quot;hidraw&quot;, ATTRS{idVendor}==&quot;0483&quot;, ATTRS{idProduct}==&quot;0157&quot;, TAG+=&quot;uaccess&quot;

然后拔下处理器再重新插上。</translation>
    </message>
    <message>
        <source>%1: too long for a filter list</source>
        <translation>%1：文件太长，不是滤波器列表</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Fc %1 Hz is outside the processor&apos;s %2 - %3 Hz</source>
        <translation>中心频率 %1 Hz 超出处理器的 %2 - %3 Hz 范围</translation>
    </message>
    <message>
        <source>gain %1 dB is outside the bands&apos; -24.0 to +12.0 dB</source>
        <translation>增益 %1 dB 超出频段的 -24.0 至 +12.0 dB 范围</translation>
    </message>
    <message>
        <source>Q %1 is outside the bands&apos; %2 - %3</source>
        <translation>Q 值 %1 超出频段的 %2 - %3 范围</translation>
    </message>
    <message>
        <source>a low shelf reaches up to 4000 Hz only</source>
        <translation>低架滤波器最高只到 4000 Hz</translation>
    </message>
    <message>
        <source>a high shelf reaches down to 1000 Hz only</source>
        <translation>高架滤波器最低只到 1000 Hz</translation>
    </message>
    <message>
        <source>a slope of %1 dB/oct is too steep for this gain</source>
        <translation>斜率 %1 dB/oct 对此增益而言过陡</translation>
    </message>
    <message>
        <source>the %1 page has no %2 filter</source>
        <translation>%1 页面没有%2滤波器</translation>
    </message>
    <message>
        <source>a second %1 filter; the page has one</source>
        <translation>第二个%1滤波器；该页面只有一个</translation>
    </message>
    <message>
        <source>low-pass</source>
        <translation>低通</translation>
    </message>
    <message>
        <source>high-pass</source>
        <translation>高通</translation>
    </message>
    <message>
        <source>line %1: %2 -&gt; %3</source>
        <translation>第 %1 行：%2 -&gt; %3</translation>
    </message>
    <message>
        <source>line %1: preamp %2 dB is not applied: the page has no overall gain of its own (set the level by hand)</source>
        <translation>第 %1 行：前级增益 %2 dB 未应用：该页面没有自己的总增益（请手动调整电平）</translation>
    </message>
    <message>
        <source>the two mic sets are linked: the first set is copied over this one when the settings go to the processor</source>
        <translation>两组话筒设置已联动：设置发送到处理器时，第一组会覆盖这一组</translation>
    </message>
    <message>
        <source>largest deviation: %1 dB over 20 Hz - 20 kHz</source>
        <translation>20 Hz - 20 kHz 范围内最大偏差：%1 dB</translation>
    </message>
    <message>
        <source>Can&apos;t write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>Can&apos;t read %1</source>
        <translation>无法读取 %1</translation>
    </message>
    <message>
        <source>a file name with a line break can&apos;t be stored</source>
        <translation>含换行符的文件名无法保存</translation>
    </message>
    <message>
        <source>a file name with a line break can&apos;t be remembered</source>
        <translation>含换行符的文件名无法记住</translation>
    </message>
    <message>
        <source>Setting file is too short: %1 (%2 bytes, %3 expected)</source>
        <translation>设置文件太短：%1（%2 字节，应为 %3 字节）</translation>
    </message>
    <message>
        <source>The calibration file cannot be read: %1</source>
        <translation>无法读取校准文件：%1</translation>
    </message>
    <message>
        <source>The calibration file is too large to be one: %1</source>
        <translation>文件太大，不是校准文件：%1</translation>
    </message>
    <message>
        <source>The calibration file holds no frequency and dB lines.</source>
        <translation>校准文件中没有频率和 dB 数据行。</translation>
    </message>
    <message>
        <source>Line %1 of the calibration file %2: &quot;%3&quot;</source>
        <translation>校准文件第 %1 行%2：“%3”</translation>
    </message>
    <message>
        <source>is not a frequency and a level in dB</source>
        <translation>不是频率和 dB 电平</translation>
    </message>
    <message>
        <source>has more than three columns</source>
        <translation>超过三列</translation>
    </message>
    <message>
        <source>has a frequency not above 0 Hz</source>
        <translation>的频率不大于 0 Hz</translation>
    </message>
    <message>
        <source>has a frequency not above the line before it</source>
        <translation>的频率不大于上一行</translation>
    </message>
    <message>
        <source>line %1: %2 in &quot;%3&quot;</source>
        <translation>第 %1 行：%2，见“%3”</translation>
    </message>
    <message>
        <source>expected ON or OFF, found &apos;%1&apos;</source>
        <translation>应为 ON 或 OFF，却是“%1”</translation>
    </message>
    <message>
        <source>unknown filter type &apos;%1&apos;</source>
        <translation>未知的滤波器类型“%1”</translation>
    </message>
    <message>
        <source>unexpected &apos;%1&apos;</source>
        <translation>意外的“%1”</translation>
    </message>
    <message>
        <source>&apos;%1&apos; given twice</source>
        <translation>“%1”出现了两次</translation>
    </message>
    <message>
        <source>&apos;%1&apos; needs a number</source>
        <translation>“%1”后面需要数字</translation>
    </message>
    <message>
        <source>&apos;%1:&apos; is not supported; only Filter and Preamp lines are read</source>
        <translation>不支持“%1:”；只读取 Filter 和 Preamp 行</translation>
    </message>
    <message>
        <source>no ON or OFF and no filter type</source>
        <translation>缺少 ON 或 OFF 以及滤波器类型</translation>
    </message>
    <message>
        <source>no filter type</source>
        <translation>缺少滤波器类型</translation>
    </message>
    <message>
        <source>Fc is missing</source>
        <translation>缺少 Fc</translation>
    </message>
    <message>
        <source>Fc must be above 0 Hz</source>
        <translation>Fc 必须大于 0 Hz</translation>
    </message>
    <message>
        <source>a high-pass or low-pass filter takes no gain</source>
        <translation>高通或低通滤波器没有增益</translation>
    </message>
    <message>
        <source>Gain is missing</source>
        <translation>缺少 Gain</translation>
    </message>
    <message>
        <source>Q is missing (a PK filter needs one)</source>
        <translation>缺少 Q（PK 滤波器需要 Q 值）</translation>
    </message>
    <message>
        <source>a shelf takes a slope or a Q, not both</source>
        <translation>架式滤波器只能给斜率或 Q，不能两者都给</translation>
    </message>
    <message>
        <source>Q must be above 0</source>
        <translation>Q 必须大于 0</translation>
    </message>
    <message>
        <source>the slope must be above 0 dB</source>
        <translation>斜率必须大于 0 dB</translation>
    </message>
    <message>
        <source>Preamp needs a gain in dB</source>
        <translation>Preamp 需要以 dB 表示的增益</translation>
    </message>
    <message>
        <source>expected &apos;:&apos; after the filter number</source>
        <translation>滤波器编号后应有“:”</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Load %1</source>
        <translation>载入 %1</translation>
    </message>
    <message>
        <source>Recall %1</source>
        <translation>调用 %1</translation>
    </message>
    <message>
        <source>slot %1</source>
        <translation>预设 %1</translation>
    </message>
    <message>
        <source>Import Filters %1</source>
        <translation>导入滤波器 %1</translation>
    </message>
    <message>
        <source>Copy %1 to %2</source>
        <translation>复制 %1 到 %2</translation>
    </message>
    <message>
        <source>Phone %1</source>
        <translation>手机 %1</translation>
    </message>
    <message>
        <source>Phone %1 and %2 more</source>
        <translation>手机 %1 及另外 %2 项</translation>
    </message>
    <message>
        <source>Add WiFi Processor</source>
        <translation>添加 WiFi 处理器</translation>
    </message>
    <message>
        <source>Name of the processor (a room, a stage):</source>
        <translation>处理器名称（如包房、舞台）：</translation>
    </message>
    <message>
        <source>Address of its WiFi module (HOST:PORT):</source>
        <translation>其 WiFi 模块的地址（主机:端口）：</translation>
    </message>
    <message>
        <source>An address is a host name or IP address and a port, such as 192.168.4.1:8899.</source>
        <translation>地址由主机名或 IP 地址加端口组成，例如 192.168.4.1:8899。</translation>
    </message>
    <message>
        <source>A processor&apos;s name cannot be empty, hold &quot;=&quot; or a line break, or start with &quot;[&quot; or &quot;;&quot;.</source>
        <translation>处理器名称不能为空，不能含有“=”或换行，也不能以“[”或“;”开头。</translation>
    </message>
    <message>
        <source>no filters found in %1</source>
        <translation>%1 中没有找到滤波器</translation>
    </message>
    <message>
        <source>the file has %1 filters; the %2 page has %3 bands</source>
        <translation>文件有 %1 个滤波器；%2 页面只有 %3 个频段</translation>
    </message>
    <message>
        <source>the file has %1 filters; the %2 page has %3 band</source>
        <translation>文件有 %1 个滤波器；%2 页面只有 %3 个频段</translation>
    </message>
    <message>
        <source>the file has %1 filter; the %2 page has %3 bands</source>
        <translation>文件有 %1 个滤波器；%2 页面只有 %3 个频段</translation>
    </message>
    <message>
        <source>the response of this filter cannot be computed</source>
        <translation>无法计算此滤波器的响应</translation>
    </message>
    <message>
        <source>line %1: not a filter or preamp line, not read: &quot;%2&quot;</source>
        <translation>第 %1 行：不是滤波器或前级增益行，未读取：“%2”</translation>
    </message>
    <message>
        <source>has a frequency outside 0.1 Hz - 1 MHz</source>
        <translation>的频率不在 0.1 Hz - 1 MHz 范围内</translation>
    </message>
    <message>
        <source>has a level beyond -100 to +100 dB</source>
        <translation>的电平超出 -100 到 +100 dB 范围</translation>
    </message>
    <message>
        <source>a PK filter takes a Q or a BW, not both</source>
        <translation>PK 滤波器只能给 Q 或 BW，不能两者都给</translation>
    </message>
    <message>
        <source>Preamp must lie within -100 to +100 dB</source>
        <translation>Preamp 必须在 -100 到 +100 dB 之间</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is too large</source>
        <translation>“%1”的值太大</translation>
    </message>
    <message>
        <source>BW must lie within 0.001 to 10 octaves</source>
        <translation>BW 必须在 0.001 到 10 倍频程之间</translation>
    </message>
</context>
<context>
    <name>PresetMenu</name>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save To File</source>
        <translation>保存到文件</translation>
    </message>
    <message>
        <source>Save To Device</source>
        <translation>保存到设备</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>载入</translation>
    </message>
    <message>
        <source>Load From File</source>
        <translation>从文件载入</translation>
    </message>
    <message>
        <source>Load From Device</source>
        <translation>从设备载入</translation>
    </message>
    <message>
        <source>burn</source>
        <translation>烧录</translation>
    </message>
    <message>
        <source>System Control</source>
        <translation>系统面板</translation>
    </message>
    <message>
        <source>Measurement Analyser…</source>
        <translation>测量分析仪…</translation>
    </message>
    <message>
        <source>New Remote Code</source>
        <translation>新的遥控配对码</translation>
    </message>
    <message>
        <source>Real-Time Spectrum</source>
        <translation>实时频谱分析</translation>
    </message>
    <message>
        <source>WiFi Control</source>
        <translation>WiFi 控制</translation>
    </message>
    <message>
        <source>Rev</source>
        <translation>混响</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Switch to B</source>
        <translation>切换到 B</translation>
    </message>
    <message>
        <source>Copy A to B</source>
        <translation>复制 A 到 B</translation>
    </message>
    <message>
        <source>Copy B to A</source>
        <translation>复制 B 到 A</translation>
    </message>
    <message>
        <source>Switch to A</source>
        <translation>切换到 A</translation>
    </message>
    <message>
        <source>START UP</source>
        <translation>开机</translation>
    </message>
    <message>
        <source>KARAOKE</source>
        <translation>卡拉OK</translation>
    </message>
    <message>
        <source>DISCO</source>
        <translation>迪斯科</translation>
    </message>
    <message>
        <source>FACTORY</source>
        <translation>出厂</translation>
    </message>
    <message>
        <source>Processor</source>
        <translation>处理器</translation>
    </message>
    <message>
        <source>Forget WiFi Processor</source>
        <translation>移除 WiFi 处理器</translation>
    </message>
    <message>
        <source>No processor on USB</source>
        <translation>USB 上没有处理器</translation>
    </message>
    <message>
        <source>USB %1</source>
        <translation>USB 接口 %1</translation>
    </message>
    <message>
        <source>(no access)</source>
        <translation>（无权访问）</translation>
    </message>
    <message>
        <source>%1 (WiFi %2)</source>
        <translation>%1（WiFi 地址 %2）</translation>
    </message>
    <message>
        <source>Add WiFi Processor…</source>
        <translation>添加 WiFi 处理器…</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>Karaoke DSP Control</source>
        <translation>卡拉OK DSP 控制</translation>
    </message>
</context>
<context>
    <name>RemoteControl</name>
    <message>
        <source>the processor is not connected</source>
        <translation>处理器未连接</translation>
    </message>
    <message>
        <source>a recall is under way</source>
        <translation>正在调用预设</translation>
    </message>
    <message>
        <source>no value it takes</source>
        <translation>不是它可接受的值</translation>
    </message>
</context>
<context>
    <name>RemotePage</name>
    <message>
        <source>Karaoke DSP Remote</source>
        <translation>卡拉OK DSP 遥控</translation>
    </message>
    <message>
        <source>Karaoke DSP</source>
        <translation>卡拉OK DSP</translation>
    </message>
    <message>
        <source>Starting…</source>
        <translation>正在启动…</translation>
    </message>
    <message>
        <source>Pair this phone</source>
        <translation>配对此手机</translation>
    </message>
    <message>
        <source>Enter the six-digit code shown in the program&apos;s main window.</source>
        <translation>请输入程序主窗口中显示的六位配对码。</translation>
    </message>
    <message>
        <source>Pairing code</source>
        <translation>配对码</translation>
    </message>
    <message>
        <source>Pair</source>
        <translation>配对</translation>
    </message>
    <message>
        <source>Retry now</source>
        <translation>立即重试</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>modified</source>
        <translation>已修改</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>总音量</translation>
    </message>
    <message>
        <source>Effect levels</source>
        <translation>效果音量</translation>
    </message>
    <message>
        <source>Music input</source>
        <translation>音乐输入</translation>
    </message>
    <message>
        <source>Outputs</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>预设</translation>
    </message>
    <message>
        <source>Tap a preset, then tap again to recall it.</source>
        <translation>点一下预设，再点一下即可调用。</translation>
    </message>
    <message>
        <source>Forget this pairing</source>
        <translation>取消此配对</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>音乐</translation>
    </message>
    <message>
        <source>Mic</source>
        <translation>话筒</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>效果</translation>
    </message>
    <message>
        <source>Echo</source>
        <translation>回声</translation>
    </message>
    <message>
        <source>Reverb</source>
        <translation>混响</translation>
    </message>
    <message>
        <source>Main L</source>
        <translation>主输出左</translation>
    </message>
    <message>
        <source>Main R</source>
        <translation>主输出右</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中置</translation>
    </message>
    <message>
        <source>Sub</source>
        <translation>低音</translation>
    </message>
    <message>
        <source>Surr L</source>
        <translation>环绕左</translation>
    </message>
    <message>
        <source>Surr R</source>
        <translation>环绕右</translation>
    </message>
    <message>
        <source>%1 sound</source>
        <translation>%1声音</translation>
    </message>
    <message>
        <source>%1 output</source>
        <translation>%1输出</translation>
    </message>
    <message>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <source>Muted</source>
        <translation>静音</translation>
    </message>
    <message>
        <source>Preset %1</source>
        <translation>预设 %1</translation>
    </message>
    <message>
        <source>The program offers no presets.</source>
        <translation>程序没有提供预设。</translation>
    </message>
    <message>
        <source>Tap again to recall</source>
        <translation>再点一下调用</translation>
    </message>
    <message>
        <source>Recalled %1.</source>
        <translation>已调用 %1。</translation>
    </message>
    <message>
        <source>The PC cannot be reached.</source>
        <translation>无法连接到电脑。</translation>
    </message>
    <message>
        <source>The program no longer knows this phone. Enter the new code to pair again.</source>
        <translation>程序已不认识此手机。请输入新的配对码重新配对。</translation>
    </message>
    <message>
        <source>The processor is not connected.</source>
        <translation>处理器未连接。</translation>
    </message>
    <message>
        <source>The processor did not answer.</source>
        <translation>处理器没有应答。</translation>
    </message>
    <message>
        <source>The program answered with error %1.</source>
        <translation>程序返回错误 %1。</translation>
    </message>
    <message>
        <source>You can try again now.</source>
        <translation>现在可以重试了。</translation>
    </message>
    <message>
        <source>Too many wrong codes. Try again in 1 second.</source>
        <translation>错误次数太多。请在 1 秒后重试。</translation>
    </message>
    <message>
        <source>Too many wrong codes. Try again in %1 seconds.</source>
        <translation>错误次数太多。请在 %1 秒后重试。</translation>
    </message>
    <message>
        <source>Pairing…</source>
        <translation>正在配对…</translation>
    </message>
    <message>
        <source>The program gave no token.</source>
        <translation>程序没有给出令牌。</translation>
    </message>
    <message>
        <source>Wrong code. Check the code in the program&apos;s main window.</source>
        <translation>配对码错误。请核对程序主窗口中的配对码。</translation>
    </message>
    <message>
        <source>The program made a new code. Enter it to pair this phone again.</source>
        <translation>程序生成了新的配对码。请输入它重新配对此手机。</translation>
    </message>
    <message>
        <source>Not paired</source>
        <translation>未配对</translation>
    </message>
    <message>
        <source>Processor linked</source>
        <translation>处理器已连接</translation>
    </message>
    <message>
        <source>Processor not connected</source>
        <translation>处理器未连接</translation>
    </message>
    <message>
        <source>Connecting to the PC…</source>
        <translation>正在连接电脑…</translation>
    </message>
    <message>
        <source>PC not reachable</source>
        <translation>无法连接电脑</translation>
    </message>
    <message>
        <source>Lost the connection to the PC. Trying again in 1 second.</source>
        <translation>与电脑的连接已断开。1 秒后重试。</translation>
    </message>
    <message>
        <source>Lost the connection to the PC. Trying again in %1 seconds.</source>
        <translation>与电脑的连接已断开。%1 秒后重试。</translation>
    </message>
    <message>
        <source>This phone is no longer paired.</source>
        <translation>此手机已取消配对。</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1。</translation>
    </message>
</context>
<context>
    <name>SystemControlPanel</name>
    <message>
        <source>System Control</source>
        <translation>系统面板</translation>
    </message>
    <message>
        <source>Open Config</source>
        <translation>打开配置</translation>
    </message>
    <message>
        <source>Save Config</source>
        <translation>保存配置</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Download All To Device</source>
        <translation>全部下载到设备</translation>
    </message>
    <message>
        <source>Upload All From Device</source>
        <translation>从设备全部上传</translation>
    </message>
    <message>
        <source>Lock Panel</source>
        <translation>锁定面板</translation>
    </message>
    <message>
        <source>Change Password</source>
        <translation>修改密码</translation>
    </message>
    <message>
        <source>Group NO.</source>
        <translation>组号</translation>
    </message>
    <message>
        <source>Setting File</source>
        <translation>设置文件</translation>
    </message>
    <message>
        <source>Music Max Vol</source>
        <translation>音乐最大音量</translation>
    </message>
    <message>
        <source>Mic Max Vol</source>
        <translation>话筒最大音量</translation>
    </message>
    <message>
        <source>Unlock Panel</source>
        <translation>解锁面板</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Connected to the processor by WiFi</source>
        <translation>已通过 WiFi 连接处理器</translation>
    </message>
    <message>
        <source>Connected to the processor by USB</source>
        <translation>已通过 USB 连接处理器</translation>
    </message>
    <message>
        <source>Waiting for the processor to answer</source>
        <translation>正在等待处理器应答</translation>
    </message>
    <message>
        <source>Not on the processor</source>
        <translation>未发送到处理器</translation>
    </message>
    <message>
        <source>%1 — not on the processor</source>
        <translation>%1 — 未发送到处理器</translation>
    </message>
    <message>
        <source>No processor connected</source>
        <translation>未连接处理器</translation>
    </message>
    <message>
        <source>PHONE REMOTE</source>
        <translation>手机遥控</translation>
    </message>
    <message>
        <source>PAIRING CODE</source>
        <translation>配对码</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>已修改</translation>
    </message>
</context>
<context>
    <name>kdsp::pages::MeasurementWindow</name>
    <message>
        <source>No sound input was found.</source>
        <translation>未找到声音输入。</translation>
    </message>
    <message>
        <source>The sound input cannot record 16-bit mono at 44100 Hz.</source>
        <translation>声音输入无法以 44100 Hz 16 位单声道录音。</translation>
    </message>
    <message>
        <source>The sound input could not be opened.</source>
        <translation>无法打开声音输入。</translation>
    </message>
    <message>
        <source>The sound input stopped working.</source>
        <translation>声音输入停止工作。</translation>
    </message>
    <message>
        <source>Measurement Analyser</source>
        <translation>测量分析仪</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>Slow (1 s)</source>
        <translation>慢 (1 秒)</translation>
    </message>
    <message>
        <source>Fast (125 ms)</source>
        <translation>快 (125 毫秒)</translation>
    </message>
    <message>
        <source>Peak hold</source>
        <translation>峰值保持</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>复位</translation>
    </message>
    <message>
        <source>1/3-octave smoothing</source>
        <translation>1/3 倍频程平滑</translation>
    </message>
    <message>
        <source>Freeze</source>
        <translation>冻结</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>导出 CSV…</translation>
    </message>
    <message>
        <source>Load Calibration…</source>
        <translation>载入校准…</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Strongest: %1 Hz, %2 dBFS</source>
        <translation>最强：%1 Hz，%2 dBFS</translation>
    </message>
    <message>
        <source>Input:</source>
        <translation>输入：</translation>
    </message>
    <message>
        <source>Averaging:</source>
        <translation>平均：</translation>
    </message>
    <message>
        <source>Microphone calibration:</source>
        <translation>话筒校准：</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Default input</source>
        <translation>默认输入</translation>
    </message>
    <message>
        <source>Not recording.</source>
        <translation>未在录音。</translation>
    </message>
    <message>
        <source>Listening…</source>
        <translation>正在监听…</translation>
    </message>
    <message>
        <source>Recording.</source>
        <translation>正在录音。</translation>
    </message>
    <message>
        <source>Frozen.</source>
        <translation>已冻结。</translation>
    </message>
    <message>
        <source>There is no spectrum to export yet.</source>
        <translation>还没有可导出的频谱。</translation>
    </message>
    <message>
        <source>%1 (%2 points)</source>
        <translation>%1（%2 个点）</translation>
    </message>
</context>
<context>
    <name>kdsp::remote</name>
    <message>
        <source>--remote takes [ADDR:]PORT (a port 0..65535, an IPv4 address or an IPv6 address in brackets), not &apos;%1&apos;</source>
        <translation>--remote 需要 [地址:]端口（端口 0..65535，IPv4 地址或方括号中的 IPv6 地址），而不是“%1”</translation>
    </message>
</context>
<context>
    <name>kdsp::remote::RemoteServer</name>
    <message>
        <source>the remote cannot listen on %1 port %2: %3</source>
        <translation>遥控无法在 %1 的端口 %2 上监听：%3</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>未找到</translation>
    </message>
    <message>
        <source>this address takes GET</source>
        <translation>此地址只接受 GET</translation>
    </message>
    <message>
        <source>the page&apos;s file is missing from the program</source>
        <translation>程序中缺少该页面的文件</translation>
    </message>
    <message>
        <source>this address takes POST</source>
        <translation>此地址只接受 POST</translation>
    </message>
    <message>
        <source>send {&quot;code&quot;:&quot;NNNNNN&quot;}, the six digits the PC shows</source>
        <translation>请发送 {&quot;code&quot;:&quot;NNNNNN&quot;}，即电脑上显示的六位数字</translation>
    </message>
    <message>
        <source>wrong code</source>
        <translation>配对码错误</translation>
    </message>
    <message>
        <source>too many wrong codes: try again in %1 s</source>
        <translation>错误次数太多：请在 %1 秒后重试</translation>
    </message>
    <message>
        <source>pair this phone first</source>
        <translation>请先配对此手机</translation>
    </message>
    <message>
        <source>this address takes %1</source>
        <translation>此地址只接受 %1</translation>
    </message>
    <message>
        <source>this address takes a WebSocket</source>
        <translation>此地址只接受 WebSocket</translation>
    </message>
    <message>
        <source>send a JSON object of fields and values</source>
        <translation>请发送由字段和值组成的 JSON 对象</translation>
    </message>
    <message>
        <source>send {&quot;slot&quot;: S}, a slot the PC&apos;s recall menu offers</source>
        <translation>请发送 {&quot;slot&quot;: S}，即电脑调用菜单中提供的预设位置</translation>
    </message>
    <message>
        <source>no such slot in the PC&apos;s recall menu</source>
        <translation>电脑的调用菜单中没有这个预设位置</translation>
    </message>
    <message>
        <source>the processor is not connected</source>
        <translation>处理器未连接</translation>
    </message>
    <message>
        <source>the processor is busy with another transfer</source>
        <translation>处理器正忙于另一项传输</translation>
    </message>
    <message>
        <source>the processor did not send the slot&apos;s settings</source>
        <translation>处理器未发送该预设的设置</translation>
    </message>
</context>
</TS>
