<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>TFloorView</name>
    <message>
        <source>Floor</source>
        <translation>场地</translation>
    </message>
    <message>
        <source>The simulated robot on its floor, seen from above</source>
        <translation>从上方看仿真机器人和它所在的场地</translation>
    </message>
</context>
<context>
    <name>TRobotModelChoice</name>
    <message>
        <source>The teacher&apos;s robot model could not be read, so the simulator uses the built-in one. %1</source>
        <translation>老师设置的机器人模型文件读不出来，仿真器改用内置的机器人模型。%1</translation>
    </message>
</context>
<context>
    <name>TSensorPlot</name>
    <message>
        <source>Pause plot</source>
        <translation>暂停曲线</translation>
    </message>
    <message>
        <source>Keep the plot still while the run goes on</source>
        <translation>程序继续运行时，曲线图保持不动</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>全部显示</translation>
    </message>
    <message>
        <source>Show the whole run (or double-click the plot); the mouse wheel zooms</source>
        <translation>显示整个运行过程（也可以双击曲线图）；滚动鼠标滚轮可以缩放</translation>
    </message>
    <message>
        <source>Save plot...</source>
        <translation>保存曲线...</translation>
    </message>
    <message>
        <source>Save the samples as CSV or the plot as a PNG picture</source>
        <translation>把采样数据保存为 CSV 文件，或把曲线图保存为 PNG 图片</translation>
    </message>
    <message>
        <source>Left wheel</source>
        <translation>左轮</translation>
    </message>
    <message>
        <source>Right wheel</source>
        <translation>右轮</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>Tick a series to plot it</source>
        <translation>勾选一项数据，就会画出它的曲线</translation>
    </message>
    <message>
        <source>No samples yet: run the program</source>
        <translation>还没有采样数据：请先运行程序</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>已暂停</translation>
    </message>
    <message>
        <source>CSV file (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>PNG picture (*.png)</source>
        <translation>PNG 图片 (*.png)</translation>
    </message>
    <message>
        <source>Save the plot</source>
        <translation>保存曲线</translation>
    </message>
</context>
<context>
    <name>TSimulatorPanel</name>
    <message>
        <source>As fast as possible</source>
        <translation>尽可能快</translation>
    </message>
    <message>
        <source>Empty floor</source>
        <translation>空场地</translation>
    </message>
    <message>
        <source>Line track</source>
        <translation>黑线跑道</translation>
    </message>
    <message>
        <source>Walled room</source>
        <translation>有墙的房间</translation>
    </message>
    <message>
        <source>Simulator</source>
        <translation>仿真器</translation>
    </message>
    <message>
        <source>&amp;Run</source>
        <translation>运行(&amp;R)</translation>
    </message>
    <message>
        <source>Run the program on the simulated robot</source>
        <translation>在仿真机器人上运行程序</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>暂停(&amp;P)</translation>
    </message>
    <message>
        <source>Stop for a moment; Run goes on</source>
        <translation>暂时停一下；按“运行”继续</translation>
    </message>
    <message>
        <source>S&amp;tep</source>
        <translation>单步(&amp;T)</translation>
    </message>
    <message>
        <source>Run one statement</source>
        <translation>运行一条语句</translation>
    </message>
    <message>
        <source>St&amp;op</source>
        <translation>停止(&amp;O)</translation>
    </message>
    <message>
        <source>End the run where it is</source>
        <translation>在当前位置结束运行</translation>
    </message>
    <message>
        <source>R&amp;eset</source>
        <translation>复位(&amp;E)</translation>
    </message>
    <message>
        <source>Take the program text again and put the robot back at the start</source>
        <translation>重新读取程序文本，并把机器人放回起点</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>How fast simulated time runs</source>
        <translation>仿真时间走得多快</translation>
    </message>
    <message>
        <source>Floor</source>
        <translation>场地</translation>
    </message>
    <message>
        <source>The chart has changed since this listing was made: the simulator runs the listing as it is. Generate it again to run the chart.</source>
        <translation>生成这份程序清单以后，流程图又改过了：仿真器运行的是现在这份清单。要运行新的流程图，请重新生成清单。</translation>
    </message>
    <message>
        <source>Sensors (grey: read from the floor)</source>
        <translation>传感器（灰色：从场地读取）</translation>
    </message>
    <message>
        <source>Grey: as the floor gives it; ticked: 1; empty: 0</source>
        <translation>灰色：按场地的情况读取；打勾：1；不打勾：0</translation>
    </message>
    <message>
        <source>floor</source>
        <translation>场地</translation>
    </message>
    <message>
        <source>0 to %1, or &quot;floor&quot; for what the floor gives</source>
        <translation>0 到 %1，或选“场地”表示按场地的情况读取</translation>
    </message>
    <message>
        <source>Look</source>
        <translation>查看</translation>
    </message>
    <message>
        <source>The mouse leaves the floor as it is</source>
        <translation>鼠标不会改动场地</translation>
    </message>
    <message>
        <source>Draw</source>
        <translation>画线</translation>
    </message>
    <message>
        <source>Draw a black line by hand</source>
        <translation>用鼠标随手画一条黑线</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>直线</translation>
    </message>
    <message>
        <source>Draw a straight black line: drag from one end to the other</source>
        <translation>画一条直的黑线：从一端拖到另一端</translation>
    </message>
    <message>
        <source>Wall</source>
        <translation>墙</translation>
    </message>
    <message>
        <source>Place a wall: drag from one end to the other</source>
        <translation>放一面墙：从一端拖到另一端</translation>
    </message>
    <message>
        <source>Box</source>
        <translation>箱子</translation>
    </message>
    <message>
        <source>Place a box: drag from one corner to the other</source>
        <translation>放一个箱子：从一个角拖到对角</translation>
    </message>
    <message>
        <source>Robot</source>
        <translation>机器人</translation>
    </message>
    <message>
        <source>Drag the robot to where it starts; drag beside it to turn it</source>
        <translation>把机器人拖到起点；在它旁边拖动可以让它转向</translation>
    </message>
    <message>
        <source>Erase</source>
        <translation>擦除</translation>
    </message>
    <message>
        <source>Erase the lines, walls and boxes the mouse goes over</source>
        <translation>擦掉鼠标经过的黑线、墙和箱子</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>Take every line, wall and box away</source>
        <translation>去掉所有的黑线、墙和箱子</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Undo the last floor edit</source>
        <translation>撤销上一次对场地的修改</translation>
    </message>
    <message>
        <source>Undo: %1</source>
        <translation>撤销：%1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Do the floor edit undone again</source>
        <translation>重新做一遍刚才撤销的场地修改</translation>
    </message>
    <message>
        <source>Redo: %1</source>
        <translation>重做：%1</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>打开...</translation>
    </message>
    <message>
        <source>Open a floor file</source>
        <translation>打开一个场地文件</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>保存...</translation>
    </message>
    <message>
        <source>Save the floor as a file, beside the chart unless you choose another place</source>
        <translation>把场地保存成文件，默认放在流程图旁边，也可以另选位置</translation>
    </message>
    <message>
        <source>Stop the run to edit the floor</source>
        <translation>要修改场地，请先停止运行</translation>
    </message>
    <message>
        <source>Draw a line</source>
        <translation>画线</translation>
    </message>
    <message>
        <source>Draw a straight line</source>
        <translation>画直线</translation>
    </message>
    <message>
        <source>Place a wall</source>
        <translation>放墙</translation>
    </message>
    <message>
        <source>Place a box</source>
        <translation>放箱子</translation>
    </message>
    <message>
        <source>Move the robot</source>
        <translation>移动机器人</translation>
    </message>
    <message>
        <source>Clear the floor</source>
        <translation>清空场地</translation>
    </message>
    <message>
        <source>Save Floor</source>
        <translation>保存场地</translation>
    </message>
    <message>
        <source>Floor files (*.floor)</source>
        <translation>场地文件 (*.floor)</translation>
    </message>
    <message>
        <source>The floor could not be saved.
%1</source>
        <translation>场地没能保存。
%1</translation>
    </message>
    <message>
        <source>Open Floor</source>
        <translation>打开场地</translation>
    </message>
    <message>
        <source>Floor files (*.floor);;All files (*)</source>
        <translation>场地文件 (*.floor);;所有文件 (*)</translation>
    </message>
    <message>
        <source>The floor could not be opened.
%1</source>
        <translation>场地没能打开。
%1</translation>
    </message>
    <message>
        <source>The program text holds no line the robot would run: generate the listing first.</source>
        <translation>程序文本里没有机器人能运行的行：请先生成程序清单。</translation>
    </message>
    <message>
        <source>Text line %1: %2</source>
        <translation>文本第 %1 行：%2</translation>
    </message>
    <message>
        <source>Stopped. Run starts the program again.</source>
        <translation>已停止。按“运行”会从头开始运行程序。</translation>
    </message>
    <message>
        <source>phrase %1</source>
        <translation>第 %1 句话</translation>
    </message>
    <message>
        <source>Press Run to run the program text on the simulated robot.</source>
        <translation>按“运行”，在仿真机器人上运行程序文本。</translation>
    </message>
    <message>
        <source>Time %1 s, %2 statements: the program ended.</source>
        <translation>时间 %1 秒，%2 条语句：程序运行结束。</translation>
    </message>
    <message>
        <source>Time %1 s, %2 statements: stopped, the program ran %3 statements without ending (a loop without a WAIT?).</source>
        <translation>时间 %1 秒，%2 条语句：已停止，程序运行了 %3 条语句还没有结束（是不是循环里少了 WAIT 等待？）。</translation>
    </message>
    <message>
        <source>Time %1 s, %2 statements: line %3: %4</source>
        <translation>时间 %1 秒，%2 条语句：第 %3 行：%4</translation>
    </message>
    <message>
        <source>Time %1 s, %2 statements (paused)</source>
        <translation>时间 %1 秒，%2 条语句（已暂停）</translation>
    </message>
    <message>
        <source>Time %1 s, %2 statements</source>
        <translation>时间 %1 秒，%2 条语句</translation>
    </message>
    <message>
        <source>Variables: %1</source>
        <translation>变量：%1</translation>
    </message>
    <message>
        <source>none set</source>
        <translation>还没有赋值</translation>
    </message>
    <message>
        <source>Lamps %1   Wheels L %2 R %3 mm/s
Servos %4 %5 %6 %7 %8 (speed %9)
Ports DDR/PORT%10</source>
        <translation>指示灯 %1   轮子 左 %2 右 %3 毫米/秒
舵机 %4 %5 %6 %7 %8（速度 %9）
端口 DDR/PORT%10</translation>
    </message>
</context>
</TS>
