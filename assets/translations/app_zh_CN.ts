<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Examples</name>
    <message>
        <source>Drive a Square</source>
        <translation>走正方形</translation>
    </message>
    <message>
        <source>Drive forward and turn right, four times in a loop</source>
        <translation>向前走再右转，用循环重复四次</translation>
    </message>
    <message>
        <source>Dance with Music</source>
        <translation>随音乐跳舞</translation>
    </message>
    <message>
        <source>Play a tune, sway and step to it</source>
        <translation>播放一段乐曲，跟着节奏摇摆、走步</translation>
    </message>
    <message>
        <source>Lights</source>
        <translation>指示灯</translation>
    </message>
    <message>
        <source>Switch the LEDs one after the other, again and again</source>
        <translation>让指示灯一个接一个地亮起，不断重复</translation>
    </message>
    <message>
        <source>Counted Loop</source>
        <translation>计数循环</translation>
    </message>
    <message>
        <source>Repeat blocks five times and count the rounds in B</source>
        <translation>把模块重复执行五次，并用 B 记录次数</translation>
    </message>
    <message>
        <source>Subroutine</source>
        <translation>子程序</translation>
    </message>
    <message>
        <source>Call the same blocks from three places</source>
        <translation>在三个地方调用同一组模块</translation>
    </message>
    <message>
        <source>Line Follower</source>
        <translation>巡线</translation>
    </message>
    <message>
        <source>Follow a line with two digital sensors</source>
        <translation>用两个数字传感器沿着线走</translation>
    </message>
    <message>
        <source>Obstacle Avoider</source>
        <translation>避障</translation>
    </message>
    <message>
        <source>Back off and turn when the distance sensor sees something near</source>
        <translation>距离传感器发现近处有东西时，后退并转弯</translation>
    </message>
    <message>
        <source>Talking Robot</source>
        <translation>会说话的机器人</translation>
    </message>
    <message>
        <source>Say phrases with VoiceX between moves</source>
        <translation>在动作之间用 VoiceX 说出语音</translation>
    </message>
</context>
<context>
    <name>SimulatorCommands</name>
    <message>
        <source>Si&amp;mulate</source>
        <translation>仿真运行(&amp;M)</translation>
    </message>
    <message>
        <source>Run the program on a simulated robot, without the robot</source>
        <translation>在仿真机器人上运行程序，不需要真的机器人</translation>
    </message>
    <message>
        <source>Simulate</source>
        <translation>仿真运行</translation>
    </message>
</context>
<context>
    <name>TAutosave</name>
    <message>
        <source>Autosave is off: %1</source>
        <translation>自动保存已关闭：%1</translation>
    </message>
    <message>
        <source>Autosave failed: %1</source>
        <translation>自动保存失败：%1</translation>
    </message>
    <message>
        <source>The autosave could not be restored: %1</source>
        <translation>无法恢复自动保存的内容：%1</translation>
    </message>
</context>
<context>
    <name>TChartEditing</name>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>撤销“%1”(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>重做“%1”(&amp;R)</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>Cut the selected blocks to the clipboard</source>
        <translation>把选中的模块剪切到剪贴板</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Copy the selected blocks to the clipboard</source>
        <translation>把选中的模块复制到剪贴板</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <source>Paste blocks below the selected block or at the spot</source>
        <translation>把模块粘贴到选中模块的下方或选中的插入点</translation>
    </message>
    <message>
        <source>D&amp;uplicate</source>
        <translation>再制一份(&amp;U)</translation>
    </message>
    <message>
        <source>Put a copy of the selected blocks below them</source>
        <translation>在选中模块的下方放一份它们的副本</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Remove the selected blocks</source>
        <translation>删除选中的模块</translation>
    </message>
    <message>
        <source>Select &amp;All Blocks</source>
        <translation>选中全部模块(&amp;A)</translation>
    </message>
    <message>
        <source>Select every block of the chart</source>
        <translation>选中流程图中的每一个模块</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>编辑(&amp;E)...</translation>
    </message>
    <message>
        <source>Set the values of the selected block</source>
        <translation>设置选中模块的参数</translation>
    </message>
    <message>
        <source>Move %1</source>
        <translation>移动 %1</translation>
    </message>
    <message>
        <source>%1 blocks</source>
        <translation>%1 个模块</translation>
    </message>
    <message>
        <source>Insert %1</source>
        <translation>插入 %1</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>删除 %1</translation>
    </message>
    <message>
        <source>Copied %1</source>
        <translation>已复制 %1</translation>
    </message>
    <message>
        <source>Cut %1</source>
        <translation>剪切 %1</translation>
    </message>
    <message>
        <source>Nothing pasted: the clipboard is empty.</source>
        <translation>没有粘贴任何内容：剪贴板是空的。</translation>
    </message>
    <message>
        <source>Nothing pasted: %1</source>
        <translation>没有粘贴任何内容：%1</translation>
    </message>
    <message>
        <source>Paste %1</source>
        <translation>粘贴 %1</translation>
    </message>
    <message>
        <source>Duplicate %1</source>
        <translation>再制 %1</translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation>编辑 %1</translation>
    </message>
    <message>
        <source>the clipboard holds no text.</source>
        <translation>剪贴板里没有文字。</translation>
    </message>
    <message>
        <source>the clipboard holds no chart blocks (%1).</source>
        <translation>剪贴板里没有流程图模块（%1）。</translation>
    </message>
    <message>
        <source>the clipboard holds no chart blocks.</source>
        <translation>剪贴板里没有流程图模块。</translation>
    </message>
    <message>
        <source>Paste &amp;Above</source>
        <translation>粘贴到上方(&amp;A)</translation>
    </message>
    <message>
        <source>Paste &amp;Below</source>
        <translation>粘贴到下方(&amp;B)</translation>
    </message>
    <message>
        <source>&amp;Paste Here</source>
        <translation>粘贴到这里(&amp;P)</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Untitled chart</source>
        <translation>未命名流程图</translation>
    </message>
    <message>
        <source>Cannot export to &quot;%1&quot;: choose a name ending in .png, .svg or .pdf.</source>
        <translation>无法导出到“%1”：请选择以 .png、.svg 或 .pdf 结尾的文件名。</translation>
    </message>
    <message>
        <source>Exported the chart to %1</source>
        <translation>流程图已导出到 %1</translation>
    </message>
    <message>
        <source>Print the Chart</source>
        <translation>打印流程图</translation>
    </message>
    <message>
        <source>The chart could not be printed: the printer did not start.</source>
        <translation>无法打印流程图：打印机没有启动。</translation>
    </message>
    <message>
        <source>Printed the chart on 1 page</source>
        <translation>流程图已打印，共 1 页</translation>
    </message>
    <message>
        <source>Printed the chart on %1 pages</source>
        <translation>流程图已打印，共 %1 页</translation>
    </message>
    <message>
        <source>&amp;Guide</source>
        <translation>使用指南(&amp;G)</translation>
    </message>
    <message>
        <source>How to build, check and send a program, block by block</source>
        <translation>一个模块一个模块地学习如何搭建、检查和下载程序</translation>
    </message>
    <message>
        <source>The guide (F1)</source>
        <translation>使用指南（F1）</translation>
    </message>
    <message>
        <source>&amp;Examples</source>
        <translation>示例(&amp;E)</translation>
    </message>
    <message>
        <source>The example %1 is missing.</source>
        <translation>找不到示例“%1”。</translation>
    </message>
    <message>
        <source>Autosave is off: %1</source>
        <translation>自动保存已关闭：%1</translation>
    </message>
    <message>
        <source>The changes were restored; save the chart to keep them.</source>
        <translation>修改已经恢复；请保存流程图，以免再次丢失。</translation>
    </message>
    <message>
        <source>The chart has changed since this listing was made. &lt;a href=&quot;generate&quot;&gt;Generate again&lt;/a&gt;</source>
        <translation>生成这份程序之后，流程图又改动过了。&lt;a href=&quot;generate&quot;&gt;重新生成&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Line numbers on the chart</source>
        <translation>在流程图上显示行号</translation>
    </message>
    <message>
        <source>Problems</source>
        <translation>问题</translation>
    </message>
    <message>
        <source>Block</source>
        <translation>模块</translation>
    </message>
    <message>
        <source>Problem</source>
        <translation>问题</translation>
    </message>
    <message>
        <source>Listing generated: %1 lines</source>
        <translation>程序已生成：共 %1 行</translation>
    </message>
    <message>
        <source>1 error</source>
        <translation>1 个错误</translation>
    </message>
    <message>
        <source>%1 errors</source>
        <translation>%1 个错误</translation>
    </message>
    <message>
        <source>1 warning</source>
        <translation>1 个警告</translation>
    </message>
    <message>
        <source>%1 warnings</source>
        <translation>%1 个警告</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>Problems: %1</source>
        <extracomment>The panel&apos;s title with what the check found.</extracomment>
        <translation>问题：%1</translation>
    </message>
    <message>
        <source>Send Anyway</source>
        <translation>仍然发送</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>已保存 %1</translation>
    </message>
    <message>
        <source>Opened %1</source>
        <translation>已打开 %1</translation>
    </message>
    <message>
        <source>New chart</source>
        <translation>新流程图</translation>
    </message>
    <message>
        <source>Generate the listing again before sending?</source>
        <translation>发送之前要重新生成程序吗？</translation>
    </message>
    <message>
        <source>Generate and Send</source>
        <translation>生成并发送</translation>
    </message>
    <message>
        <source>Send as it is</source>
        <translation>按原样发送</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>新建(&amp;N)</translation>
    </message>
    <message>
        <source>Start a new chart</source>
        <translation>新建一个流程图</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message>
        <source>Open a chart file</source>
        <translation>打开流程图文件</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save the chart</source>
        <translation>保存流程图</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>另存为(&amp;A)...</translation>
    </message>
    <message>
        <source>Save the chart under a new name</source>
        <translation>用新的名字保存流程图</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>Close the editor</source>
        <translation>关闭编辑器</translation>
    </message>
    <message>
        <source>&amp;Download...</source>
        <translation>下载(&amp;D)...</translation>
    </message>
    <message>
        <source>Send the program to the robot</source>
        <translation>把程序发送给机器人</translation>
    </message>
    <message>
        <source>&amp;Generate</source>
        <translation>生成程序(&amp;G)</translation>
    </message>
    <message>
        <source>Generate the program listing</source>
        <translation>由流程图生成程序</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>About this program</source>
        <translation>关于本软件</translation>
    </message>
    <message>
        <source>Save Program &amp;Text...</source>
        <translation>保存程序文本(&amp;T)...</translation>
    </message>
    <message>
        <source>Save the program text to a file</source>
        <translation>把程序文本保存到文件</translation>
    </message>
    <message>
        <source>&amp;Load Program Text...</source>
        <translation>载入程序文本(&amp;L)...</translation>
    </message>
    <message>
        <source>Replace the program text with a text file</source>
        <translation>用文本文件替换当前的程序文本</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <extracomment>A tip followed by its shortcut key.</extracomment>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>&amp;Check Program</source>
        <translation>检查程序(&amp;C)</translation>
    </message>
    <message>
        <source>Look for problems in the program and list them</source>
        <translation>查找程序中的问题并列出来</translation>
    </message>
    <message>
        <source>Line numbers</source>
        <translation>行号</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>流程图</translation>
    </message>
    <message>
        <source>The program as a chain of blocks: arrows move, Enter edits, Delete removes</source>
        <translation>由模块连成的程序：方向键移动，回车键编辑，Delete 键删除</translation>
    </message>
    <message>
        <source>Program text</source>
        <translation>程序文本</translation>
    </message>
    <message>
        <source>The BASIC listing sent to the robot</source>
        <translation>发送给机器人的 BASIC 程序</translation>
    </message>
    <message>
        <source>Block palette</source>
        <translation>模块面板</translation>
    </message>
    <message>
        <source>The listing is older than the chart</source>
        <translation>程序比流程图旧</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>最近打开(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation>导出(&amp;E)...</translation>
    </message>
    <message>
        <source>Write the chart as a PNG or SVG picture or as PDF pages</source>
        <translation>把流程图导出为 PNG 或 SVG 图片，或 PDF 文档</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>打印(&amp;P)...</translation>
    </message>
    <message>
        <source>Print the chart, cut into pages between blocks</source>
        <translation>打印流程图，在模块之间分页</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>放大(&amp;I)</translation>
    </message>
    <message>
        <source>Show the chart larger</source>
        <translation>把流程图显示得大一些</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>缩小(&amp;O)</translation>
    </message>
    <message>
        <source>Show the chart smaller</source>
        <translation>把流程图显示得小一些</translation>
    </message>
    <message>
        <source>&amp;Actual Size</source>
        <translation>实际大小(&amp;A)</translation>
    </message>
    <message>
        <source>Show the chart at 100 %</source>
        <translation>按 100% 显示流程图</translation>
    </message>
    <message>
        <source>Fit &amp;Width</source>
        <translation>适合宽度(&amp;W)</translation>
    </message>
    <message>
        <source>Show the chart as wide as the canvas</source>
        <translation>让流程图和画布一样宽</translation>
    </message>
    <message>
        <source>&amp;Program</source>
        <translation>程序(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Robot</source>
        <translation>机器人(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Send to Robot</source>
        <translation>发送到机器人(&amp;S)</translation>
    </message>
    <message>
        <source>Generate if the chart changed and send the program to the robot on the last port used</source>
        <translation>如果流程图改动过就先生成程序，再通过上次使用的端口发送给机器人</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Statement of the selected block</source>
        <translation>选中模块的语句</translation>
    </message>
    <message>
        <source>What the robot holds</source>
        <translation>机器人里现有的程序</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>缩放</translation>
    </message>
    <message>
        <source>Zoom of the chart: Ctrl with the wheel, Ctrl+plus, Ctrl+minus, Ctrl+0</source>
        <translation>流程图的缩放比例：Ctrl 加滚轮、Ctrl+加号、Ctrl+减号、Ctrl+0</translation>
    </message>
    <message>
        <source>Block %1: %2%3</source>
        <extracomment>The block&apos;s number, its caption, then two spaces and its statements (or nothing).</extracomment>
        <translation>模块 %1：%2%3</translation>
    </message>
    <message>
        <source>Insertion spot: select it, then click a block in the palette to insert it here</source>
        <translation>插入点：选中它，再单击模块面板中的模块，就能把模块插入到这里</translation>
    </message>
    <message>
        <source>%1 blocks selected</source>
        <translation>已选中 %1 个模块</translation>
    </message>
    <message>
        <source>No recent charts</source>
        <translation>没有最近打开的流程图</translation>
    </message>
    <message>
        <source>&amp;Clear the List</source>
        <translation>清空列表(&amp;C)</translation>
    </message>
    <message>
        <source>Connecting to the robot</source>
        <translation>正在连接机器人</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>跟随系统语言</translation>
    </message>
    <message>
        <source>The editor speaks %1.</source>
        <translation>编辑器正在使用“%1”。</translation>
    </message>
    <message>
        <source>The editor speaks %1 from its next start. Everything open stays as it is.</source>
        <translation>编辑器下次启动时将使用“%1”。现在打开的内容保持不变。</translation>
    </message>
    <message>
        <source>The program has an error, in block %1: %2

Send it anyway?</source>
        <translation>程序有一个错误，在模块 %1：%2

仍然要发送吗？</translation>
    </message>
    <message>
        <source>The program has %1 errors; the first, in block %2: %3

Send it anyway?</source>
        <translation>程序有 %1 个错误；第一个在模块 %2：%3

仍然要发送吗？</translation>
    </message>
    <message>
        <source>A download to the robot is still running.
Stop it and quit?</source>
        <translation>正在向机器人下载程序。
要停止下载并退出吗？</translation>
    </message>
</context>
<context>
    <name>TFormAbout</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Ver:%1</source>
        <extracomment>The version number after the word.</extracomment>
        <translation>版本：%1</translation>
    </message>
    <message>
        <source>Build a robot program from blocks,
then send it to the robot.</source>
        <translation>用模块搭建机器人程序，
再把它发送给机器人。</translation>
    </message>
</context>
<context>
    <name>THelpBrowser</name>
    <message>
        <source>Help page</source>
        <translation>帮助页面</translation>
    </message>
</context>
<context>
    <name>THelpWindow</name>
    <message>
        <source>ZOLVANE FlowChart Guide</source>
        <translation>ZOLVANE FlowChart 使用指南</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>后退</translation>
    </message>
    <message>
        <source>The page shown before (Alt+Left)</source>
        <translation>上一个看过的页面（Alt+Left）</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>The page shown after (Alt+Right)</source>
        <translation>下一个看过的页面（Alt+Right）</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>目录</translation>
    </message>
    <message>
        <source>The contents of the guide</source>
        <translation>使用指南的目录</translation>
    </message>
    <message>
        <source>Search the guide</source>
        <translation>搜索使用指南</translation>
    </message>
    <message>
        <source>Pages of the guide</source>
        <translation>使用指南的页面</translation>
    </message>
    <message>
        <source>%1 - ZOLVANE FlowChart Guide</source>
        <extracomment>The page&apos;s title, then the guide&apos;s name.</extracomment>
        <translation>%1 - ZOLVANE FlowChart 使用指南</translation>
    </message>
</context>
<context>
    <name>TNavBar</name>
    <message>
        <source>Executable Mod</source>
        <translation>执行模块</translation>
    </message>
    <message>
        <source>Sensor Mod</source>
        <translation>传感器模块</translation>
    </message>
    <message>
        <source>Control Mod</source>
        <translation>控制模块</translation>
    </message>
    <message>
        <source>Program Mod</source>
        <translation>程序模块</translation>
    </message>
    <message>
        <source>Direct</source>
        <translation>直行</translation>
    </message>
    <message>
        <source>Turn</source>
        <translation>转向</translation>
    </message>
    <message>
        <source>Motor On</source>
        <translation>启动电机</translation>
    </message>
    <message>
        <source>Motor Stop</source>
        <translation>停止电机</translation>
    </message>
    <message>
        <source>Wait</source>
        <translation>等待</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>音乐</translation>
    </message>
    <message>
        <source>Loop Begin</source>
        <translation>循环开始</translation>
    </message>
    <message>
        <source>Loop End</source>
        <translation>循环结束</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>标签</translation>
    </message>
    <message>
        <source>Goto</source>
        <translation>跳转</translation>
    </message>
    <message>
        <source>GotoIf</source>
        <translation>条件跳转</translation>
    </message>
    <message>
        <source>End</source>
        <translation>结束</translation>
    </message>
    <message>
        <source>LED</source>
        <translation>指示灯</translation>
    </message>
    <message>
        <source>IO Setup</source>
        <translation>端口设置</translation>
    </message>
    <message>
        <source>IO Input</source>
        <translation>端口输入</translation>
    </message>
    <message>
        <source>IO Output</source>
        <translation>端口输出</translation>
    </message>
    <message>
        <source>Servo</source>
        <translation>舵机</translation>
    </message>
    <message>
        <source>Expression</source>
        <translation>表达式</translation>
    </message>
    <message>
        <source>Digital Sensor</source>
        <translation>数字传感器</translation>
    </message>
    <message>
        <source>Analog Sensor</source>
        <translation>模拟传感器</translation>
    </message>
    <message>
        <source>Sub Begin</source>
        <translation>子程序开始</translation>
    </message>
    <message>
        <source>Sub End</source>
        <translation>子程序结束</translation>
    </message>
    <message>
        <source>Call Sub</source>
        <translation>调用子程序</translation>
    </message>
    <message>
        <source>VoiceX</source>
        <translation>语音</translation>
    </message>
    <message>
        <source>Insert a new %1 block below the selected block or at the selected spot</source>
        <translation>在选中模块的下方或选中的插入点插入一个新的 %1 模块</translation>
    </message>
    <message>
        <source>Insert a new %1 block (%2) below the selected block or at the selected spot</source>
        <extracomment>%1 is the block&apos;s caption as the canvas shows it, %2 what the block is called.</extracomment>
        <translation>在选中模块的下方或选中的插入点插入一个新的 %1 模块（%2）</translation>
    </message>
</context>
<context>
    <name>platform::ChartExport</name>
    <message>
        <source>Page %1 of %2</source>
        <translation>第 %1 页，共 %2 页</translation>
    </message>
    <message>
        <source>The picture could not be encoded.</source>
        <translation>无法生成图片。</translation>
    </message>
    <message>
        <source>The drawing could not be started.</source>
        <translation>无法开始绘图。</translation>
    </message>
    <message>
        <source>The document could not be started.</source>
        <translation>无法开始生成文档。</translation>
    </message>
    <message>
        <source>Unknown format.</source>
        <translation>未知的格式。</translation>
    </message>
</context>
<context>
    <name>platform::PortHolders</name>
    <message>
        <source>a program</source>
        <translation>某个程序</translation>
    </message>
    <message>
        <source>%1, process %2</source>
        <translation>%1（进程 %2）</translation>
    </message>
    <message>
        <source>this program</source>
        <translation>本程序</translation>
    </message>
</context>
<context>
    <name>platform::RecoveryFolder</name>
    <message>
        <source>Autosave has no folder: the system names no folder for the user&apos;s data</source>
        <translation>自动保存没有文件夹：系统没有提供存放用户数据的文件夹</translation>
    </message>
</context>
<context>
    <name>platform::TQtPrompts</name>
    <message>
        <source>FlowChart Files(*.lcs)</source>
        <translation>流程图文件(*.lcs)</translation>
    </message>
    <message>
        <source>ZOLVANE Text Format Files(*.txt)</source>
        <translation>ZOLVANE 程序文本文件(*.txt)</translation>
    </message>
    <message>
        <source>PNG Pictures (*.png)</source>
        <translation>PNG 图片 (*.png)</translation>
    </message>
    <message>
        <source>SVG Drawings (*.svg)</source>
        <translation>SVG 矢量图 (*.svg)</translation>
    </message>
    <message>
        <source>PDF Documents (*.pdf)</source>
        <translation>PDF 文档 (*.pdf)</translation>
    </message>
</context>
<context>
    <name>platform::TQtSerialPort</name>
    <message>
        <source>There is no serial port number %1: choose 1 to 8.</source>
        <translation>没有编号为 %1 的串口：请选择 1 到 8。</translation>
    </message>
    <message>
        <source>There is no serial port number %1: the system reports %2.</source>
        <translation>没有编号为 %1 的串口：系统只报告了 %2 个。</translation>
    </message>
    <message>
        <source>Cannot open %1: </source>
        <translation>无法打开 %1：</translation>
    </message>
    <message>
        <source>the serial port %1 was closed</source>
        <translation>串口 %1 已关闭</translation>
    </message>
    <message>
        <source>the serial port %1 did not take a byte within %2 ms</source>
        <translation>串口 %1 在 %2 毫秒内没有接收一个字节</translation>
    </message>
    <message>
        <source>the serial port %1 is not open</source>
        <translation>串口 %1 没有打开</translation>
    </message>
    <message>
        <source>cannot write to %1: </source>
        <translation>无法写入 %1：</translation>
    </message>
    <message>
        <source>the serial port %1 does not send: </source>
        <translation>串口 %1 发送不出去：</translation>
    </message>
    <message>
        <source>the serial port %1 was disconnected</source>
        <translation>串口 %1 已断开连接</translation>
    </message>
    <message>
        <source>reading from the serial port %1 failed</source>
        <translation>从串口 %1 读取失败</translation>
    </message>
    <message>
        <source>writing to the serial port %1 failed</source>
        <translation>向串口 %1 写入失败</translation>
    </message>
</context>
</TS>
