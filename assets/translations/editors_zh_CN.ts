<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
</context>
<context>
    <name>editors</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Keep what you set in this block</source>
        <translation>保存对这个模块的设置</translation>
    </message>
    <message>
        <source>Close and leave the block as it was</source>
        <translation>关闭，模块保持原样</translation>
    </message>
    <message>
        <source>Take this block out of the chart</source>
        <translation>把这个模块从流程图中删除</translation>
    </message>
    <message>
        <source>A name cannot hold &quot;&lt;&quot; or &quot;&amp;&quot;.</source>
        <translation>名称中不能含有“&lt;”或“&amp;”。</translation>
    </message>
    <message>
        <source>%1: %2 to %3</source>
        <translation>%1：%2 至 %3</translation>
    </message>
    <message>
        <source>x %1 %2</source>
        <translation>×%1 %2</translation>
    </message>
    <message>
        <source>Rename &quot;%1&quot; to &quot;%2&quot; in the block that goes to it as well?</source>
        <translation>转到“%1”的那个模块，也改为转到“%2”吗？</translation>
    </message>
    <message>
        <source>Rename &quot;%1&quot; to &quot;%2&quot; in the %3 blocks that go to it as well?</source>
        <translation>转到“%1”的 %3 个模块，也都改为转到“%2”吗？</translation>
    </message>
    <message>
        <source>Rename &quot;%1&quot; to &quot;%2&quot; in the block that calls it as well?</source>
        <translation>调用“%1”的那个模块，也改为调用“%2”吗？</translation>
    </message>
    <message>
        <source>Rename &quot;%1&quot; to &quot;%2&quot; in the %3 blocks that call it as well?</source>
        <translation>调用“%1”的 %3 个模块，也都改为调用“%2”吗？</translation>
    </message>
    <message>
        <source>Please choose</source>
        <translation>请选择</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>Type a name or pick one from the list</source>
        <translation>输入名称，或从列表中选择</translation>
    </message>
    <message>
        <source>IO Port:</source>
        <translation>IO 端口：</translation>
    </message>
    <message>
        <source>Bits of the port</source>
        <translation>端口的各位</translation>
    </message>
    <message>
        <source>Tick a bit to switch it, untick it to switch it back</source>
        <translation>勾选某一位即切换它，取消勾选则恢复</translation>
    </message>
    <message>
        <source>bit%1</source>
        <translation>第%1位</translation>
    </message>
    <message>
        <source>The variable that gets the value</source>
        <translation>接收读数的变量</translation>
    </message>
    <message>
        <source>Analog Sensor</source>
        <translation>模拟传感器</translation>
    </message>
    <message>
        <source>Var: </source>
        <translation>变量：</translation>
    </message>
    <message>
        <source>Sensor Port:</source>
        <translation>传感器端口：</translation>
    </message>
    <message>
        <source>Expression or Statement</source>
        <translation>表达式或语句</translation>
    </message>
    <message>
        <source>Expression or Statement:</source>
        <translation>表达式或语句：</translation>
    </message>
    <message>
        <source>Please input a valid statement.</source>
        <translation>请输入一条有效的语句。</translation>
    </message>
    <message>
        <source>Digital Sensor</source>
        <translation>数字传感器</translation>
    </message>
    <message>
        <source>Times Loop Begin</source>
        <translation>计次循环开始</translation>
    </message>
    <message>
        <source>Number of times</source>
        <translation>循环次数</translation>
    </message>
    <message>
        <source>The variable that counts the times</source>
        <translation>用来计数的变量</translation>
    </message>
    <message>
        <source>Number of times:</source>
        <translation>循环次数：</translation>
    </message>
    <message>
        <source>Var:</source>
        <translation>变量：</translation>
    </message>
    <message>
        <source>Times Loop End</source>
        <translation>计次循环结束</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <comment>a note: its tone, its length</comment>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>Tone %1 low</source>
        <translation>低音 %1</translation>
    </message>
    <message>
        <source>Tone %1 middle</source>
        <translation>中音 %1</translation>
    </message>
    <message>
        <source>Tone %1 high</source>
        <translation>高音 %1</translation>
    </message>
    <message>
        <source>Tone %1 very high</source>
        <translation>倍高音 %1</translation>
    </message>
    <message>
        <source>Rest</source>
        <translation>休止符</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>音乐</translation>
    </message>
    <message>
        <source>The key the tones are played in</source>
        <translation>演奏这些音符所用的调</translation>
    </message>
    <message>
        <source>Key:</source>
        <translation>调号：</translation>
    </message>
    <message>
        <source>Add KEY statement</source>
        <translation>加入 KEY 语句</translation>
    </message>
    <message>
        <source>Also set the robot to this key before the notes</source>
        <translation>在音符前先让机器人换到这个调</translation>
    </message>
    <message>
        <source>How long the next note lasts</source>
        <translation>下一个音符持续多长时间</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>时值：</translation>
    </message>
    <message>
        <source>Tone</source>
        <translation>音高</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Add the chosen note to the notes</source>
        <translation>把选好的音符加到列表末尾</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>替换</translation>
    </message>
    <message>
        <source>Put the chosen note in place of the selected one</source>
        <translation>用选好的音符替换列表中选中的音符</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除音符</translation>
    </message>
    <message>
        <source>Take the selected note out</source>
        <translation>删除列表中选中的音符</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>试听</translation>
    </message>
    <message>
        <source>Listen to the tune as the robot plays it</source>
        <translation>听一听机器人演奏这段乐曲的效果</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>音符</translation>
    </message>
    <message>
        <source>The notes the robot plays, top to bottom</source>
        <translation>机器人从上到下依次演奏的音符</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Move the selected note up</source>
        <translation>把选中的音符上移一位</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>Move the selected note down</source>
        <translation>把选中的音符下移一位</translation>
    </message>
    <message>
        <source>This computer has no sound output</source>
        <translation>这台电脑没有声音输出设备</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Call Subroutine</source>
        <translation>调用子程序</translation>
    </message>
    <message>
        <source>Name of the subroutine:</source>
        <translation>子程序名称：</translation>
    </message>
    <message>
        <source>Label for GOTO:</source>
        <translation>跳转标签</translation>
    </message>
    <message>
        <source>Label:</source>
        <translation>标签：</translation>
    </message>
    <message>
        <source>GOTO</source>
        <translation>跳转</translation>
    </message>
    <message>
        <source>GOTO Label:</source>
        <translation>跳转到标签：</translation>
    </message>
    <message>
        <source>GOTO IF</source>
        <translation>条件跳转</translation>
    </message>
    <message>
        <source>Type a label or pick one from the list</source>
        <translation>输入标签，或从列表中选择</translation>
    </message>
    <message>
        <source>Expression:</source>
        <translation>表达式：</translation>
    </message>
    <message>
        <source>If condition TRUE
GOTO Label:</source>
        <translation>条件成立时
跳转到标签：</translation>
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
        <source>LED PB%1</source>
        <translation>指示灯 PB%1</translation>
    </message>
    <message>
        <source>Click to switch LED PB%1 on or off</source>
        <translation>单击可点亮或熄灭指示灯 PB%1</translation>
    </message>
    <message>
        <source>IO Setup</source>
        <translation>IO 设置</translation>
    </message>
    <message>
        <source>IO Input</source>
        <translation>IO 输入</translation>
    </message>
    <message>
        <source>IO Output</source>
        <translation>IO 输出</translation>
    </message>
    <message>
        <source>%1 (below 0 backward, 0 stop, above 0 forward)</source>
        <translation>%1（小于 0 后退，0 停止，大于 0 前进）</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>后退</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>Motor On</source>
        <translation>启动电机</translation>
    </message>
    <message>
        <source>L Speed</source>
        <translation>左电机速度</translation>
    </message>
    <message>
        <source>Left motor speed</source>
        <translation>左电机的速度</translation>
    </message>
    <message>
        <source>R Speed</source>
        <translation>右电机速度</translation>
    </message>
    <message>
        <source>Right motor speed</source>
        <translation>右电机的速度</translation>
    </message>
    <message>
        <source>Servo</source>
        <translation>舵机</translation>
    </message>
    <message>
        <source>Servo %1</source>
        <translation>舵机 %1</translation>
    </message>
    <message>
        <source>Position of servo %1</source>
        <translation>舵机 %1 的位置</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Speed of the servos (1 slow, 5 fast)</source>
        <translation>舵机转动的速度（1 最慢，5 最快）</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>慢</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>快</translation>
    </message>
    <message>
        <source>Subroutine Begin</source>
        <translation>子程序开始</translation>
    </message>
    <message>
        <source>Subroutine End</source>
        <translation>子程序结束</translation>
    </message>
    <message>
        <source>Motor Off</source>
        <translation>停止电机</translation>
    </message>
    <message>
        <source>Stop that &quot;Direct&quot; or &quot;Turn&quot;</source>
        <translation>停止“直行”或“转向”</translation>
    </message>
    <message>
        <source>Stop that &quot;Motor On&quot;</source>
        <translation>停止“启动电机”</translation>
    </message>
    <message>
        <source>VoiceX</source>
        <translation>语音</translation>
    </message>
    <message>
        <source>The phrase the robot says</source>
        <translation>机器人要说的话</translation>
    </message>
    <message>
        <source>VoiceX: </source>
        <translation>语音：</translation>
    </message>
    <message>
        <source>note (*) means:
Voice of Women in the Men module,
Voice of Men in the Women module.</source>
        <translation>注：带 (*) 的语句
在男声语音模块中是女声，
在女声语音模块中是男声。</translation>
    </message>
    <message>
        <source>Wait</source>
        <translation>等待</translation>
    </message>
    <message>
        <source>Wait Length:</source>
        <translation>等待时间：</translation>
    </message>
    <message>
        <source>Direct</source>
        <translation>直行</translation>
    </message>
    <message>
        <source>Forward Length</source>
        <translation>前进一段距离</translation>
    </message>
    <message>
        <source>Backward Length</source>
        <translation>后退一段距离</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>数值：</translation>
    </message>
    <message>
        <source>Turn</source>
        <translation>转向</translation>
    </message>
    <message>
        <source>Turn Left</source>
        <translation>左转</translation>
    </message>
    <message>
        <source>Turn Right</source>
        <translation>右转</translation>
    </message>
    <message>
        <source>Turn Left Length</source>
        <translation>左转一定角度</translation>
    </message>
    <message>
        <source>Turn Right Length</source>
        <translation>右转一定角度</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>High Level</source>
        <translation>高电平</translation>
    </message>
    <message>
        <source>Low Level</source>
        <translation>低电平</translation>
    </message>
    <message>
        <source>1/4 beat</source>
        <translation>1/4 拍</translation>
    </message>
    <message>
        <source>2/4 beat</source>
        <translation>2/4 拍</translation>
    </message>
    <message>
        <source>3/4 beat</source>
        <translation>3/4 拍</translation>
    </message>
    <message>
        <source>1 beat</source>
        <translation>1 拍</translation>
    </message>
    <message>
        <source>1+1/4 beat</source>
        <translation>1+1/4 拍</translation>
    </message>
    <message>
        <source>1+2/4 beat</source>
        <translation>1+2/4 拍</translation>
    </message>
    <message>
        <source>1+3/4 beat</source>
        <translation>1+3/4 拍</translation>
    </message>
    <message>
        <source>2 beat</source>
        <translation>2 拍</translation>
    </message>
    <message>
        <source>low do</source>
        <translation>低音 1</translation>
    </message>
    <message>
        <source>low re</source>
        <translation>低音 2</translation>
    </message>
    <message>
        <source>low mi</source>
        <translation>低音 3</translation>
    </message>
    <message>
        <source>low fa</source>
        <translation>低音 4</translation>
    </message>
    <message>
        <source>low sol</source>
        <translation>低音 5</translation>
    </message>
    <message>
        <source>low la</source>
        <translation>低音 6</translation>
    </message>
    <message>
        <source>low ti</source>
        <translation>低音 7</translation>
    </message>
    <message>
        <source>do</source>
        <translation>中音 1</translation>
    </message>
    <message>
        <source>re</source>
        <translation>中音 2</translation>
    </message>
    <message>
        <source>mi</source>
        <translation>中音 3</translation>
    </message>
    <message>
        <source>fa</source>
        <translation>中音 4</translation>
    </message>
    <message>
        <source>sol</source>
        <translation>中音 5</translation>
    </message>
    <message>
        <source>la</source>
        <translation>中音 6</translation>
    </message>
    <message>
        <source>ti</source>
        <translation>中音 7</translation>
    </message>
    <message>
        <source>high do</source>
        <translation>高音 1</translation>
    </message>
    <message>
        <source>high re</source>
        <translation>高音 2</translation>
    </message>
    <message>
        <source>high mi</source>
        <translation>高音 3</translation>
    </message>
    <message>
        <source>high fa</source>
        <translation>高音 4</translation>
    </message>
    <message>
        <source>high sol</source>
        <translation>高音 5</translation>
    </message>
    <message>
        <source>high la</source>
        <translation>高音 6</translation>
    </message>
    <message>
        <source>high ti</source>
        <translation>高音 7</translation>
    </message>
    <message>
        <source>top do</source>
        <translation>倍高音 1</translation>
    </message>
    <message>
        <source>1 1/4 beats</source>
        <translation>1又1/4 拍</translation>
    </message>
    <message>
        <source>1 2/4 beats</source>
        <translation>1又2/4 拍</translation>
    </message>
    <message>
        <source>1 3/4 beats</source>
        <translation>1又3/4 拍</translation>
    </message>
    <message>
        <source>2 beats</source>
        <translation>2 拍</translation>
    </message>
    <message>
        <source>rest</source>
        <translation>休止</translation>
    </message>
    <message>
        <source>Position (%1 to %2): %3</source>
        <translation>位置（%1 到 %2）：%3</translation>
    </message>
</context>
<context>
    <name>sim</name>
    <message>
        <source>ms</source>
        <translation>毫秒</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>毫米</translation>
    </message>
    <message>
        <source>degrees</source>
        <translation>度</translation>
    </message>
    <message>
        <source>mm/s</source>
        <translation>毫米/秒</translation>
    </message>
</context>
</TS>
