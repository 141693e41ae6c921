<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>chart</name>
    <message>
        <source>The example %1 cannot be opened: %2</source>
        <translation>无法打开示例 %1：%2</translation>
    </message>
    <message>
        <source>Flow Chart changed,<byte value="xd"/>
save it?</source>
        <translation>流程图已更改，<byte value="xd"/>
要保存吗？</translation>
    </message>
    <message>
        <source>Flow Chart %1 changed,<byte value="xd"/>
save it?</source>
        <translation>流程图 %1 已更改，<byte value="xd"/>
要保存吗？</translation>
    </message>
    <message>
        <source> (line %1, column %2)</source>
        <translation>（第 %1 行，第 %2 列）</translation>
    </message>
    <message>
        <source>Record %1 is not a block record that could be saved again (%2)</source>
        <translation>第 %1 条记录不是能再次保存的模块记录（%2）</translation>
    </message>
    <message>
        <source>Record %1 changes its block type when written back</source>
        <translation>第 %1 条记录写回后会改变模块类型</translation>
    </message>
    <message>
        <source>Example %1 opened as a new chart: save it under a name of your own to keep your changes.</source>
        <translation>示例 %1 已作为新流程图打开：要保留你的修改，请用你自己取的文件名保存它。</translation>
    </message>
    <message>
        <source>%1 holds no chart at all: it opened as an empty chart.</source>
        <translation>%1 里根本没有流程图：已作为空白流程图打开。</translation>
    </message>
</context>
<context>
    <name>check</name>
    <message>
        <source>a value: a variable A to Z, a number, a port or sensor name (PINA, PC0, MIC, ADC0, ...) or &quot;(&quot;</source>
        <translation>一个值：变量 A 到 Z、数字、端口或传感器名称（PINA、PC0、MIC、ADC0……）或 &quot;(&quot;</translation>
    </message>
    <message>
        <source>a variable A to Z followed by &quot;=&quot;, or a command word such as FD, WAIT or IF</source>
        <translation>变量 A 到 Z 后跟 &quot;=&quot;，或 FD、WAIT、IF 这样的命令词</translation>
    </message>
    <message>
        <source>the end of the statement</source>
        <translation>语句结束</translation>
    </message>
    <message>
        <source>%1, but no Label is named &quot;%2&quot;</source>
        <translation>%1，但没有名为 &quot;%2&quot; 的 Label 模块</translation>
    </message>
    <message>
        <source>%1, but no Sub Begin is named &quot;%2&quot;</source>
        <translation>%1，但没有名为 &quot;%2&quot; 的 Sub Begin 模块</translation>
    </message>
    <message>
        <source>a number up to %1</source>
        <translation>不大于 %1 的数字</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>数字</translation>
    </message>
    <message>
        <source>a line number</source>
        <translation>行号</translation>
    </message>
    <message>
        <source>a variable A to Z, written as a capital letter</source>
        <translation>变量 A 到 Z，要写成大写字母</translation>
    </message>
    <message>
        <source>a variable A to Z</source>
        <translation>变量 A 到 Z</translation>
    </message>
    <message>
        <source>&quot;)&quot; or an operator</source>
        <translation>&quot;)&quot; 或运算符</translation>
    </message>
    <message>
        <source>a comparison: =, &lt;&gt;, &lt;, &gt;, &lt;= or &gt;=</source>
        <translation>比较符号：=、&lt;&gt;、&lt;、&gt;、&lt;= 或 &gt;=</translation>
    </message>
    <message>
        <source>notes: the digits 0 to 9 and A to F</source>
        <translation>音符：数字 0 到 9 和字母 A 到 F</translation>
    </message>
    <message>
        <source>AND, OR, THEN or an operator</source>
        <translation>AND、OR、THEN 或运算符</translation>
    </message>
    <message>
        <source>block %1</source>
        <translation>第 %1 个模块</translation>
    </message>
    <message>
        <source>a line break, which a program line cannot carry</source>
        <translation>一个换行符，程序行里不能有它</translation>
    </message>
    <message>
        <source>a NUL byte, which a program line cannot carry</source>
        <translation>一个 NUL 字节，程序行里不能有它</translation>
    </message>
    <message>
        <source>a tab, which the block does not show and the editor cannot type</source>
        <translation>一个制表符，模块上看不到它，编辑器也打不出来</translation>
    </message>
    <message>
        <source>the control character %1, which the block does not show and the editor cannot type</source>
        <translation>控制字符 %1，模块上看不到它，编辑器也打不出来</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Label 模块</translation>
    </message>
    <message>
        <source>jump</source>
        <translation>跳转</translation>
    </message>
    <message>
        <source>Sub Begin</source>
        <translation>Sub Begin 模块</translation>
    </message>
    <message>
        <source>call</source>
        <translation>调用</translation>
    </message>
    <message>
        <source>The %1 block&apos;s record cannot be read (%2). Delete the block and put a new one in its place.</source>
        <translation>无法读取 %1 模块的参数（%2）。请删除这个模块，在原处放一个新的。</translation>
    </message>
    <message>
        <source>The name %1 holds %2. Open the block and type the name again.</source>
        <translation>名字 %1 里有%2。请打开模块，重新输入名字。</translation>
    </message>
    <message>
        <source>The block holds a NUL byte in its values, which a program line cannot carry. Open the block and remove it.</source>
        <translation>模块的参数里有一个 NUL 字节，程序行里不能有它。请打开模块把它删掉。</translation>
    </message>
    <message>
        <source>The block holds a line break in its values, which a program line cannot carry. Open the block and remove it.</source>
        <translation>模块的参数里有一个换行符，程序行里不能有它。请打开模块把它删掉。</translation>
    </message>
    <message>
        <source>Another %1 named %2 comes first (%3): every %4 to %5 goes there, so this one is never reached. Rename one of them.</source>
        <translation>前面已经有一个名为 %2 的 %1（%3）：所有对 %5 的%4都会去那里，所以永远到不了这一个。请给其中一个改名。</translation>
    </message>
    <message>
        <source>The %1 %2 (%3) has the same name but for letter case, which counts as the same name: every %4 to %5 goes there, so this one is never reached. Rename one of them.</source>
        <translation>%1 %2（%3）的名字只是大小写不同，这算作同一个名字：所有对 %5 的%4都会去那里，所以永远到不了这一个。请给其中一个改名。</translation>
    </message>
    <message>
        <source>The Label has no name. Give it one, so that a Goto or GotoIf can choose it.</source>
        <translation>Label 模块没有名字。请给它起一个名字，这样 Goto 或 GotoIf 模块才能选中它。</translation>
    </message>
    <message>
        <source>The Sub Begin has no name. Give the subroutine one, so that a Call Sub can choose it.</source>
        <translation>Sub Begin 模块没有名字。请给子程序起一个名字，这样 Call Sub 模块才能选中它。</translation>
    </message>
    <message>
        <source>The %1 names no %2: it goes to the %2 without a name (%3). Name that one and choose its name here.</source>
        <translation>%1 模块没有选择 %2：它会去没有名字的那个 %2（%3）。请给那个模块起名字，再在这里选择这个名字。</translation>
    </message>
    <message>
        <source>The %1 names no Label. Open it and choose the Label to jump to.</source>
        <translation>%1 模块没有选择 Label 模块。请打开它，选择要跳转到的 Label 模块。</translation>
    </message>
    <message>
        <source>The %1 names no Sub Begin. Open it and choose the Sub Begin to call.</source>
        <translation>%1 模块没有选择 Sub Begin 模块。请打开它，选择要调用的 Sub Begin 模块。</translation>
    </message>
    <message>
        <source>No %1 is named exactly %2: the one at %3 is named %4, and names must match in letter case and blanks. Choose %4 here, or rename that %1.</source>
        <translation>没有名字正好是 %2 的 %1：%3 的名字是 %4，而名字的大小写和空格都必须一致。请在这里选择 %4，或者给那个 %1 改名。</translation>
    </message>
    <message>
        <source>No Label is named %1; a subroutine is (Sub Begin at %2), and a Goto cannot run a subroutine. Use a Call Sub for it, or put a Label named %1 where the jump should go.</source>
        <translation>没有名为 %1 的 Label 模块；有一个这样名字的子程序（Sub Begin 模块在%2），但 Goto 模块不能运行子程序。请改用 Call Sub 模块，或者在要跳转到的地方放一个名为 %1 的 Label 模块。</translation>
    </message>
    <message>
        <source>No Sub Begin is named %1; a Label is (%2), and a Call Sub cannot jump to a Label. Use a Goto for it, or begin a subroutine with a Sub Begin named %1.</source>
        <translation>没有名为 %1 的 Sub Begin 模块；有一个这样名字的 Label 模块（%2），但 Call Sub 模块不能跳转到 Label 模块。请改用 Goto 模块，或者用名为 %1 的 Sub Begin 模块开始一个子程序。</translation>
    </message>
    <message>
        <source>No Label is named %1. Put a Label named %1 where the jump should go, or choose the name of an existing Label.</source>
        <translation>没有名为 %1 的 Label 模块。请在要跳转到的地方放一个名为 %1 的 Label 模块，或者选择一个已有 Label 模块的名字。</translation>
    </message>
    <message>
        <source>No Sub Begin is named %1. Begin the subroutine with a Sub Begin named %1, or choose the name of an existing one.</source>
        <translation>没有名为 %1 的 Sub Begin 模块。请用名为 %1 的 Sub Begin 模块开始这个子程序，或者选择一个已有子程序的名字。</translation>
    </message>
    <message>
        <source>The Expression is empty, and the robot takes no empty program line. Write a statement in it, or remove the block.</source>
        <translation>Expression 模块是空的，而机器人不接受空的程序行。请在里面写一条语句，或者删除这个模块。</translation>
    </message>
    <message>
        <source>The block gives an empty statement (one of its values is outside what the block knows), and the robot takes no empty program line. Open the block and choose its values again.</source>
        <translation>这个模块生成了一条空语句（它的某个参数超出了模块能用的范围），而机器人不接受空的程序行。请打开模块，重新选择参数。</translation>
    </message>
    <message>
        <source>From this block on, the program lines are numbered above %1 (this block&apos;s line is %2), which the robot cannot number: the download would leave them out. Make the program shorter: it can hold %3 statements at most, Labels and Sub Begins counted too.</source>
        <translation>从这个模块开始，程序行的行号超过了 %1（这个模块的行号是 %2），机器人不能使用这样的行号：下载时会漏掉这些行。请把程序改短：程序最多只能有 %3 条语句，Label 和 Sub Begin 模块也要算在内。</translation>
    </message>
    <message>
        <source>its image takes %1 bytes, and a download carries %2 at most</source>
        <translation>它的映像有 %1 字节，而一次下载最多只能传 %2 字节</translation>
    </message>
    <message>
        <source>its lines need %1 bytes of program memory, and the robot has %2</source>
        <translation>它的程序行需要 %1 字节的程序存储空间，而机器人只有 %2 字节</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1；%2</translation>
    </message>
    <message>
        <source>The program is too large for one download: %1. The lines from this block on do not fit; remove blocks, or split the program in two.</source>
        <translation>程序太大，一次下载不完：%1。从这个模块开始的程序行放不下；请删除一些模块，或者把程序分成两个。</translation>
    </message>
    <message>
        <source>at its end the robot expects %1</source>
        <translation>在结尾处，机器人需要的是%1</translation>
    </message>
    <message>
        <source>at %1 the robot expects %2</source>
        <translation>在 %1 处，机器人需要的是%2</translation>
    </message>
    <message>
        <source>The robot cannot read the expression %1: %2. Write an assignment such as A=B+1, or a command such as WAIT 100.</source>
        <translation>机器人看不懂表达式 %1：%2。请写一个像 A=B+1 这样的赋值，或者像 WAIT 100 这样的命令。</translation>
    </message>
    <message>
        <source>The GotoIf has no condition. Write a comparison such as A&gt;3 or PC0=1.</source>
        <translation>GotoIf 模块没有条件。请写一个像 A&gt;3 或 PC0=1 这样的比较。</translation>
    </message>
    <message>
        <source>The robot cannot read the condition %1: %2. Write a comparison such as A&gt;3 or PC0=1, of variables A to Z, numbers and sensor names, joined with AND or OR.</source>
        <translation>机器人看不懂条件 %1：%2。请写一个像 A&gt;3 或 PC0=1 这样的比较，可以用变量 A 到 Z、数字和传感器名称，多个比较用 AND 或 OR 连接。</translation>
    </message>
    <message>
        <source>The robot cannot read the statement %1 this block gives: %2. Open the block and choose its values again.</source>
        <translation>机器人看不懂这个模块生成的语句 %1：%2。请打开模块，重新选择参数。</translation>
    </message>
    <message>
        <source>The wait time is %1, so it does not wait at all. Set a time above 0, or remove the block.</source>
        <translation>等待时间是 %1，所以根本不会等待。请设置一个大于 0 的时间，或者删除这个模块。</translation>
    </message>
    <message>
        <source>The Music block has no notes, so it plays nothing. Open it and compose a tune, or remove the block.</source>
        <translation>Music 模块里没有音符，所以什么也不会播放。请打开它编一段曲子，或者删除这个模块。</translation>
    </message>
    <message>
        <source>The PLAY has no notes, so it plays nothing. Write the notes after PLAY, or remove it.</source>
        <translation>PLAY 后面没有音符，所以什么也不会播放。请在 PLAY 后面写上音符，或者把它删掉。</translation>
    </message>
    <message>
        <source>This loop counts with variable %1, as does the loop around it (%2): the inner loop upsets the outer one&apos;s count. Give one of them another variable.</source>
        <translation>这个循环用变量 %1 计数，外面的循环（%2）也用它：里面的循环会打乱外面循环的计数。请给其中一个换一个变量。</translation>
    </message>
    <message>
        <source>The loop repeats %1 times (it counts from %2 to %3). Set a count of 1 or more, or remove the loop.</source>
        <translation>这个循环重复 %1 次（从 %2 数到 %3）。请把次数设为 1 或更多，或者删除这个循环。</translation>
    </message>
    <message>
        <source>No loop of variable %1 is open above this Loop End to close. Put a Loop Begin of %1 above it, or give this block the variable of its Loop Begin.</source>
        <translation>这个 Loop End 模块上面没有用变量 %1 的循环可以结束。请在它上面放一个用变量 %1 的 Loop Begin 模块，或者给这个模块选择对应 Loop Begin 模块的变量。</translation>
    </message>
    <message>
        <source>The loop of variable %1 is not closed before the Loop End at %2 closes the loop of %3 around it. Put a Loop End of %1 above %2.</source>
        <translation>用变量 %1 的循环还没有结束，%2 的 Loop End 模块就结束了外面用变量 %3 的循环。请在%2上面放一个用变量 %1 的 Loop End 模块。</translation>
    </message>
    <message>
        <source>The loop of variable %1 is never closed. Put a Loop End of %1 below the blocks to repeat.</source>
        <translation>用变量 %1 的循环一直没有结束。请在要重复的模块下面放一个用变量 %1 的 Loop End 模块。</translation>
    </message>
    <message>
        <source>The subroutine %1 has no Sub End before the next Sub Begin (%2), so it runs on into that subroutine. Put a Sub End where it should return.</source>
        <translation>子程序 %1 在下一个 Sub Begin 模块（%2）之前没有 Sub End 模块，所以它会一直运行到那个子程序里。请在应该返回的地方放一个 Sub End 模块。</translation>
    </message>
    <message>
        <source>The subroutine %1 has no Sub End before the end of the chart, so it never returns to its Call Sub. Put a Sub End where it should return.</source>
        <translation>子程序 %1 直到流程图结尾都没有 Sub End 模块，所以它永远不会返回到调用它的 Call Sub 模块。请在应该返回的地方放一个 Sub End 模块。</translation>
    </message>
    <message>
        <source>The program has no End. Put an End at the bottom of the main program, so that the robot stops there.</source>
        <translation>程序没有 End 模块。请在主程序的最下面放一个 End 模块，让机器人在那里停下。</translation>
    </message>
    <message>
        <source>this Sub End</source>
        <translation>这个 Sub End 模块</translation>
    </message>
    <message>
        <source>this RETURN</source>
        <translation>这个 RETURN</translation>
    </message>
    <message>
        <source>Put an End above the subroutine&apos;s Sub Begin (%1).</source>
        <translation>请在子程序的 Sub Begin 模块（%1）上面放一个 End 模块。</translation>
    </message>
    <message>
        <source>Put an End above it, or remove it.</source>
        <translation>请在它上面放一个 End 模块，或者把它删掉。</translation>
    </message>
    <message>
        <source>The program runs into %1 without a Call Sub, and the robot cannot return from a subroutine it was not called into. %2</source>
        <translation>程序没有经过 Call Sub 模块就运行到了%1，而机器人不能从没有被调用的子程序返回。%2</translation>
    </message>
    <message>
        <source>this block</source>
        <translation>这个模块</translation>
    </message>
    <message>
        <source>this block and the 1 block after it (up to %1)</source>
        <translation>这个模块和它后面的 1 个模块（到%1为止）</translation>
    </message>
    <message>
        <source>this block and the %1 blocks after it (up to %2)</source>
        <translation>这个模块和它后面的 %1 个模块（到%2为止）</translation>
    </message>
    <message>
        <source>No Call Sub that runs calls the subroutine %1, and no path runs into it: %2 never runs. Call it with a Call Sub, or remove it.</source>
        <translation>没有会运行的 Call Sub 模块调用子程序 %1，也没有路径会运行到它：%2永远不会运行。请用 Call Sub 模块调用它，或者把它删掉。</translation>
    </message>
    <message>
        <source>No Call Sub that runs calls the subroutine %1, and no path runs into it: %2 never run. Call it with a Call Sub, or remove it.</source>
        <translation>没有会运行的 Call Sub 模块调用子程序 %1，也没有路径会运行到它：%2永远不会运行。请用 Call Sub 模块调用它，或者把它们删掉。</translation>
    </message>
    <message>
        <source>No path reaches %1: the blocks above end the program or jump away, and no jump leads here. Remove it, or put a Label above and jump to it.</source>
        <translation>没有路径能到达%1：上面的模块结束了程序或者跳走了，也没有跳转到这里。请把它删掉，或者在上面放一个 Label 模块并跳转到那里。</translation>
    </message>
    <message>
        <source>No path reaches %1: the blocks above end the program or jump away, and no jump leads here. Remove them, or put a Label above and jump to it.</source>
        <translation>没有路径能到达%1：上面的模块结束了程序或者跳走了，也没有跳转到这里。请把它们删掉，或者在上面放一个 Label 模块并跳转到那里。</translation>
    </message>
</context>
<context>
    <name>download</name>
    <message>
        <source>Cancelled: the robot keeps its previous program</source>
        <translation>已取消：机器人保留原来的程序</translation>
    </message>
    <message>
        <source>Cancelled: the robot may now hold part of the new program (%1 of %2 bytes) instead of its previous one; download again before running it</source>
        <translation>已取消：机器人现在可能只有新程序的一部分（%2 字节中的 %1 字节），原来的程序已经没有了；运行前请重新下载</translation>
    </message>
    <message>
        <source>the hello packet</source>
        <translation>握手数据包</translation>
    </message>
    <message>
        <source>the hello reply</source>
        <translation>握手应答</translation>
    </message>
    <message>
        <source>the header packet</source>
        <translation>程序头数据包</translation>
    </message>
    <message>
        <source>the header reply</source>
        <translation>程序头应答</translation>
    </message>
    <message>
        <source>chunk %1 of %2</source>
        <translation>第 %1 块（共 %2 块）</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1。</translation>
    </message>
    <message>
        <source>No robot answered on %1.</source>
        <translation>%1 上没有机器人应答。</translation>
    </message>
    <message>
        <source>Is the robot switched on and waiting for a program? Is %1 its port? (Unplug the robot&apos;s cable: the port that leaves the list is the robot&apos;s.)</source>
        <translation>机器人打开了吗？它在等待程序吗？%1 是它的端口吗？（拔下机器人的数据线：从列表中消失的那个端口就是机器人的端口。）</translation>
    </message>
    <message>
        <source>The robot stopped answering during %1.</source>
        <translation>在传送%1时，机器人不再应答了。</translation>
    </message>
    <message>
        <source>The robot stopped answering.</source>
        <translation>机器人不再应答了。</translation>
    </message>
    <message>
        <source>Check that the robot is still switched on and that its cable is firmly in at both ends, then try again.</source>
        <translation>请检查机器人是否还开着，数据线两端是否插紧，然后再试一次。</translation>
    </message>
    <message>
        <source>The answers on %1 are not a robot&apos;s.</source>
        <translation>%1 上的应答不是机器人发出的。</translation>
    </message>
    <message>
        <source>This is probably the wrong port, or the device on it talks at another speed (the robot talks at 115200 baud). Choose the robot&apos;s port and try again.</source>
        <translation>可能选错了端口，或者这个端口上的设备用别的速度通信（机器人的速度是 115200 波特）。请选择机器人的端口，再试一次。</translation>
    </message>
    <message>
        <source>The robot refused %1 %2 times.</source>
        <translation>机器人拒收%1已经 %2 次。</translation>
    </message>
    <message>
        <source>The robot refused a packet %1 times.</source>
        <translation>机器人拒收一个数据包已经 %1 次。</translation>
    </message>
    <message>
        <source>A loose or damaged cable spoils the packets: push the cable firmly in at both ends (or try another cable) and try again.</source>
        <translation>数据线松了或坏了会弄坏数据包：请把数据线两端插紧（或者换一根数据线），再试一次。</translation>
    </message>
    <message>
        <source>The robot did not take the program: its reply to the header began otherwise instead of AA AA.</source>
        <translation>机器人没有接收程序：它对程序头的应答不是以 AA AA 开头。</translation>
    </message>
    <message>
        <source>The robot did not take the program: its reply to the header began %1 instead of AA AA.</source>
        <translation>机器人没有接收程序：它对程序头的应答以 %1 开头，而不是 AA AA。</translation>
    </message>
    <message>
        <source>Switch the robot off and on again so that it waits for a program, then try again.</source>
        <translation>请把机器人关掉再打开，让它等待程序，然后再试一次。</translation>
    </message>
    <message>
        <source>The connection to the robot on %1 was lost during %2.</source>
        <translation>在传送%2时，与 %1 上机器人的连接断开了。</translation>
    </message>
    <message>
        <source>The connection to the robot on %1 was lost.</source>
        <translation>与 %1 上机器人的连接断开了。</translation>
    </message>
    <message>
        <source>The cable was pulled out or the robot switched off: plug it in again, choose its port and try again.</source>
        <translation>数据线被拔掉了，或者机器人被关掉了：请重新插好，选择它的端口，再试一次。</translation>
    </message>
    <message>
        <source>The download took too long and was stopped during %1.</source>
        <translation>下载用时太长，在传送%1时被停止了。</translation>
    </message>
    <message>
        <source>The download took too long and was stopped.</source>
        <translation>下载用时太长，被停止了。</translation>
    </message>
    <message>
        <source>The robot answers very slowly: check the cable and try again.</source>
        <translation>机器人应答得很慢：请检查数据线，再试一次。</translation>
    </message>
    <message>
        <source>There is no port %1 (any more).</source>
        <translation>端口 %1 不存在（或者已经没有了）。</translation>
    </message>
    <message>
        <source>Plug the robot&apos;s cable in again and choose its port from the list.</source>
        <translation>请重新插好机器人的数据线，并从列表中选择它的端口。</translation>
    </message>
    <message>
        <source>%1 is locked by a program that has ended.</source>
        <translation>%1 被一个已经退出的程序锁住了。</translation>
    </message>
    <message>
        <source>Delete the lock file %1 (it may take the administrator), then try again.</source>
        <translation>请删除锁文件 %1（可能需要管理员来删），然后再试一次。</translation>
    </message>
    <message>
        <source>%1 is in use by another program.</source>
        <translation>%1 正被另一个程序使用。</translation>
    </message>
    <message>
        <source>%1 is in use by another program (%2).</source>
        <translation>%1 正被另一个程序使用（%2）。</translation>
    </message>
    <message>
        <source>Close that program (a terminal program, another editor, a second copy of this one) or choose another port.</source>
        <translation>请关闭那个程序（终端程序、别的编辑器、或者又打开的一个本程序），或者选择别的端口。</translation>
    </message>
    <message>
        <source>you</source>
        <translation>你</translation>
    </message>
    <message>
        <source>You may not use %1.</source>
        <translation>你没有使用 %1 的权限。</translation>
    </message>
    <message>
        <source>Ask the administrator to let %1 use %2.</source>
        <translation>请让管理员允许%1使用 %2。</translation>
    </message>
    <message>
        <source>Ask the administrator to let %1 use %2: on Linux, by adding %1 to the group %3 (sudo adduser %4 %3); then log out and in again.</source>
        <translation>请让管理员允许 %1 使用 %2：在 Linux 上，把 %1 加入 %3 组（sudo adduser %4 %3）；然后注销并重新登录。</translation>
    </message>
    <message>
        <source>%1 cannot be opened.</source>
        <translation>无法打开 %1。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>无法打开 %1：%2</translation>
    </message>
    <message>
        <source>Check that the robot&apos;s cable is plugged in, choose its port again and try again.</source>
        <translation>请检查机器人的数据线是否插好，重新选择它的端口，再试一次。</translation>
    </message>
    <message>
        <source>%1 The robot may now hold only part of the new program (%2 of %3 bytes): download it again before running it.</source>
        <translation>%1机器人现在可能只有新程序的一部分（%3 字节中的 %2 字节）：运行前请重新下载。</translation>
    </message>
    <message>
        <source>1 part</source>
        <translation>1 块</translation>
    </message>
    <message>
        <source>%1 parts</source>
        <translation>%1 块</translation>
    </message>
    <message>
        <source>Connecting to the robot</source>
        <translation>正在连接机器人</translation>
    </message>
    <message>
        <source>Announcing the program (%1 bytes in %2)</source>
        <translation>正在告诉机器人程序的大小（%1 字节，分 %2）</translation>
    </message>
    <message>
        <source>Sending the program: %1 of %2</source>
        <translation>正在发送程序：%1 / %2</translation>
    </message>
    <message>
        <source>%1; cancelling</source>
        <translation>%1；正在取消</translation>
    </message>
    <message>
        <source>%1; hello: sent again (%2 of %3)</source>
        <translation>%1；握手：重新发送（第 %2 次，最多 %3 次）</translation>
    </message>
    <message>
        <source>%1; header: sent again (%2 of %3)</source>
        <translation>%1；程序头：重新发送（第 %2 次，最多 %3 次）</translation>
    </message>
    <message>
        <source>%1; reply: asked for again (%2 of %3)</source>
        <translation>%1；应答：重新请求（第 %2 次，最多 %3 次）</translation>
    </message>
    <message>
        <source>%1; part %2: sent again (%3 of %4)</source>
        <translation>%1；第 %2 块：重新发送（第 %3 次，最多 %4 次）</translation>
    </message>
    <message>
        <source>A robot answered on %1</source>
        <translation>%1 上有机器人应答</translation>
    </message>
    <message>
        <source>Done: the robot has the program (%1 bytes)</source>
        <translation>完成：机器人已经收到程序（%1 字节）</translation>
    </message>
    <message>
        <source>accepted</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>8 characters or fewer</source>
        <translation>只有 8 个字符或更少</translation>
    </message>
    <message>
        <source>fewer than three words</source>
        <translation>不到三个词</translation>
    </message>
    <message>
        <source>no line number from 0 to %1</source>
        <translation>没有 0 到 %1 之间的行号</translation>
    </message>
    <message>
        <source>the second word does not begin with REM</source>
        <translation>第二个词不是以 REM 开头</translation>
    </message>
    <message>
        <source>the third word is not a quoted text</source>
        <translation>第三个词不是带引号的文字</translation>
    </message>
    <message>
        <source>the statement holds a NUL byte</source>
        <translation>语句里有 NUL 字节</translation>
    </message>
    <message>
        <source>unknown code</source>
        <translation>未知代码</translation>
    </message>
    <message>
        <source>line %1 (code %2: %3)</source>
        <translation>第 %1 行（代码 %2：%3）</translation>
    </message>
    <message>
        <source>The program is too large for the robot: its 1 line needs %1 bytes of program memory (a line takes its statement&apos;s length + 2) and the robot has %2.</source>
        <translation>程序太大，机器人放不下：它的 1 行需要 %1 字节的程序存储空间（每行占语句长度加 2 个字节），而机器人只有 %2 字节。</translation>
    </message>
    <message>
        <source>The program is too large for the robot: its %1 lines need %2 bytes of program memory (a line takes its statement&apos;s length + 2) and the robot has %3.</source>
        <translation>程序太大，机器人放不下：它的 %1 行需要 %2 字节的程序存储空间（每行占语句长度加 2 个字节），而机器人只有 %3 字节。</translation>
    </message>
    <message>
        <source>%1 Not even its first line fits.</source>
        <translation>%1连第一行都放不下。</translation>
    </message>
    <message>
        <source>%1 Only the lines up to line %2 fit (%3 lines, a program image of %4 bytes).</source>
        <translation>%1只有到第 %2 行为止的程序行能放下（%3 行，程序映像 %4 字节）。</translation>
    </message>
    <message>
        <source>The robot on %1 has this program</source>
        <translation>%1 上的机器人已经有这个程序</translation>
    </message>
    <message>
        <source>The robot on %1 has an older version of this program</source>
        <translation>%1 上的机器人的程序是这个程序的旧版本</translation>
    </message>
    <message>
        <source>The program image is %1 bytes; a download can carry at most %2 bytes.</source>
        <translation>程序映像有 %1 字节；一次下载最多只能传 %2 字节。</translation>
    </message>
    <message>
        <source>No line of the program passes the line check, so nothing was sent.</source>
        <translation>程序没有一行通过行检查，所以什么也没有发送。</translation>
    </message>
    <message>
        <source>No line of the program passes the line check, so nothing was sent: %1.</source>
        <translation>程序没有一行通过行检查，所以什么也没有发送：%1。</translation>
    </message>
    <message>
        <source>No line of the program passes the line check, so nothing was sent: %1 and %2 more.</source>
        <translation>程序没有一行通过行检查，所以什么也没有发送：%1，另外还有 %2 行。</translation>
    </message>
    <message>
        <source>and %1 more
</source>
        <translation>另外还有 %1 行
</translation>
    </message>
    <message>
        <source>1 line will be left out because it fails the line check:
%1Send the rest?</source>
        <translation>有 1 行没有通过行检查，将被略过：
%1要发送其余的行吗？</translation>
    </message>
    <message>
        <source>%1 lines will be left out because they fail the line check:
%2Send the rest?</source>
        <translation>有 %1 行没有通过行检查，将被略过：
%2要发送其余的行吗？</translation>
    </message>
    <message>
        <source>A download is already running.</source>
        <translation>已经有一个下载正在进行。</translation>
    </message>
    <message>
        <source>The serial port is not open: open it first.</source>
        <translation>串口没有打开：请先打开它。</translation>
    </message>
    <message>
        <source>the serial port %1 is not open</source>
        <translation>串口 %1 没有打开</translation>
    </message>
    <message>
        <source>the robot refused it</source>
        <translation>机器人拒收了</translation>
    </message>
    <message>
        <source>no answer within %1 ms</source>
        <translation>%1 毫秒内没有应答</translation>
    </message>
    <message>
        <source>the reply was not whole within %1 ms</source>
        <translation>%1 毫秒内没有收全应答</translation>
    </message>
    <message>
        <source>the packet arrived damaged</source>
        <translation>收到的数据包已损坏</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>原因不明</translation>
    </message>
    <message>
        <source>hello reply</source>
        <translation>握手应答</translation>
    </message>
    <message>
        <source>header reply</source>
        <translation>程序头应答</translation>
    </message>
    <message>
        <source>The connection to the robot was lost during %1: %2</source>
        <translation>在传送%1时，与机器人的连接断开了：%2</translation>
    </message>
    <message>
        <source>The download was cancelled during %1.</source>
        <translation>在传送%1时，下载被取消了。</translation>
    </message>
    <message>
        <source>The download ran out of time during %1: a program image of %2 bytes must arrive within %3 s.</source>
        <translation>在传送%1时，下载超时了：%2 字节的程序映像必须在 %3 秒内传完。</translation>
    </message>
    <message>
        <source>The robot did not accept %1 in %2 attempts (last: %3).</source>
        <translation>尝试了 %2 次，机器人都没有接收%1（最后一次：%3）。</translation>
    </message>
    <message>
        <source>No intact %1 arrived in %2 attempts (last: %3).</source>
        <translation>尝试了 %2 次，都没有收到完整的%1（最后一次：%3）。</translation>
    </message>
    <message>
        <source>%1 The robot confirmed %2 of %3 bytes.</source>
        <translation>%1机器人确认收到了 %3 字节中的 %2 字节。</translation>
    </message>
    <message>
        <source>The robot&apos;s header reply began %1 instead of AA AA: it did not take the program.</source>
        <translation>机器人的程序头应答以 %1 开头，而不是 AA AA：它没有接收程序。</translation>
    </message>
    <message>
        <source>the port %1 was closed</source>
        <translation>端口 %1 已关闭</translation>
    </message>
    <message>
        <source>the port %1 is not open</source>
        <translation>端口 %1 没有打开</translation>
    </message>
    <message>
        <source>the virtual robot hung up</source>
        <translation>虚拟机器人挂断了</translation>
    </message>
</context>
<context>
    <name>files</name>
    <message>
        <source>The file is larger than %1 MiB, more than any chart or program holds</source>
        <translation>文件大于 %1 MiB，超过了任何流程图或程序的大小</translation>
    </message>
    <message>
        <source>It is a device or pipe, not a file</source>
        <translation>这是设备或管道，不是文件</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>没有这个文件或文件夹</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>没有权限</translation>
    </message>
    <message>
        <source>Operation not permitted</source>
        <translation>不允许这样操作</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>这是一个文件夹</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>这不是文件夹</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>磁盘上没有剩余空间</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>文件系统是只读的</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>文件已存在</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>文件名太长</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>超出了磁盘配额</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>输入/输出错误</translation>
    </message>
    <message>
        <source>open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>create</source>
        <translation>创建</translation>
    </message>
    <message>
        <source>write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Cannot %1 file &quot;%2&quot;. %3</source>
        <translation>无法%1文件“%2”。%3</translation>
    </message>
    <message>
        <source>No temporary folder: %1</source>
        <translation>没有临时文件夹：%1</translation>
    </message>
</context>
<context>
    <name>program</name>
    <message>
        <source>Begin</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>End</source>
        <translation>结束</translation>
    </message>
    <message>
        <source>Insert here, the first block</source>
        <translation>在这里插入，作为第一个模块</translation>
    </message>
    <message>
        <source>Insert here, after the last block</source>
        <translation>在这里插入，放在最后一个模块之后</translation>
    </message>
    <message>
        <source>Insert here, before block %1</source>
        <translation>在这里插入，放在第 %1 个模块之前</translation>
    </message>
    <message>
        <source>Block %1 of %2: %3</source>
        <translation>第 %1 个模块，共 %2 个：%3</translation>
    </message>
    <message>
        <source>Block %1 of %2: %3, %4</source>
        <translation>第 %1 个模块，共 %2 个：%3，%4</translation>
    </message>
    <message>
        <source>x%1</source>
        <translation>×%1</translation>
    </message>
    <message>
        <source>to %1</source>
        <translation>到 %1</translation>
    </message>
    <message>
        <source>if %1 to %2</source>
        <translation>若 %1 到 %2</translation>
    </message>
    <message>
        <source>no notes</source>
        <translation>没有音符</translation>
    </message>
    <message>
        <source>%1 note</source>
        <translation>%1 个音符</translation>
    </message>
    <message>
        <source>%1 notes</source>
        <translation>%1 个音符</translation>
    </message>
    <message>
        <source>Block %1 holds a NUL byte in its values, which a program line cannot carry. Open the block and remove it.</source>
        <translation>第 %1 个模块的参数里有一个 NUL 字节，程序行里不能有它。请打开模块把它删掉。</translation>
    </message>
    <message>
        <source>Block %1 holds a line break in its values, which a program line cannot carry. Open the block and remove it.</source>
        <translation>第 %1 个模块的参数里有一个换行符，程序行里不能有它。请打开模块把它删掉。</translation>
    </message>
    <message>
        <source>Block %1 gives no statement, and the robot cannot take an empty line. Open the block and fill it in, or delete it.</source>
        <translation>第 %1 个模块没有生成语句，而机器人不接受空行。请打开模块把它填好，或者删除它。</translation>
    </message>
</context>
<context>
    <name>records</name>
    <message>
        <source>Invalid Document: Unexpected text in file prolog</source>
        <translation>无效的文档：文件开头部分有不该出现的文字</translation>
    </message>
    <message>
        <source>Invalid XML Element: Unexpected character in property declaration (&quot;%1&quot; found)</source>
        <translation>无效的 XML 元素：属性声明中有意外的字符（发现了“%1”）</translation>
    </message>
    <message>
        <source>Invalid XML Element: Erroneous end of tag, expecting &lt;/%1&gt; but &lt;/&gt; found</source>
        <translation>无效的 XML 元素：结束标签有误，应为 &lt;/%1&gt;，但发现的是 &lt;/&gt;</translation>
    </message>
    <message>
        <source>Invalid Comment: Unexpected end of data</source>
        <translation>无效的注释：数据意外结束</translation>
    </message>
    <message>
        <source>Invalid CDATA: Unexpected end of data</source>
        <translation>无效的 CDATA 段：数据意外结束</translation>
    </message>
    <message>
        <source>Invalid Stylesheet: Unexpected end of data</source>
        <translation>无效的样式表声明：数据意外结束</translation>
    </message>
    <message>
        <source>Invalid Comment: expected &quot;%1&quot; but found &quot;%2&quot;</source>
        <translation>无效的注释：这里需要“%1”，但发现了“%2”</translation>
    </message>
    <message>
        <source>Invalid CDATA: expected &quot;%1&quot; but found &quot;%2&quot;</source>
        <translation>无效的 CDATA 段：这里需要“%1”，但发现了“%2”</translation>
    </message>
    <message>
        <source>Invalid Header: expected &quot;%1&quot; but found &quot;%2&quot;</source>
        <translation>无效的 XML 声明：这里需要“%1”，但发现了“%2”</translation>
    </message>
    <message>
        <source>Invalid Stylesheet: expected &quot;%1&quot; but found &quot;%2&quot;</source>
        <translation>无效的样式表声明：这里需要“%1”，但发现了“%2”</translation>
    </message>
    <message>
        <source>Invalid XML Element: Unexpected character in property declaration. Expecting &quot; or &apos; but &quot;%1&quot;  found</source>
        <translation>无效的 XML 元素：属性声明中有意外的字符。这里需要 &quot; 或 &apos;，但发现了“%1”</translation>
    </message>
    <message>
        <source>Invalid XML Element: Elements nested deeper than %1 levels</source>
        <translation>无效的 XML 元素：元素嵌套超过了 %1 层</translation>
    </message>
    <message>
        <source>Invalid XML Element: Expected beginning of tag but &quot;%1&quot; found</source>
        <translation>无效的 XML 元素：这里应该是标签的开头，但发现了“%1”</translation>
    </message>
    <message>
        <source>Invalid XML Element: malformed tag found (no valid name)</source>
        <translation>无效的 XML 元素：发现了格式错误的标签（没有有效的名称）</translation>
    </message>
    <message>
        <source>Invalid XML Element: Expected end of tag but &quot;%1&quot; found</source>
        <translation>无效的 XML 元素：这里应该是标签的结尾，但发现了“%1”</translation>
    </message>
    <message>
        <source>Invalid XML Element: Erroneous end of tag, expecting &lt;/%1&gt; but &lt;/%2&gt; found</source>
        <translation>无效的 XML 元素：结束标签有误，应为 &lt;/%1&gt;，但发现的是 &lt;/%2&gt;</translation>
    </message>
    <message>
        <source>Invalid Comment: &quot;--&quot; not allowed inside comments</source>
        <translation>无效的注释：注释里不能出现“--”</translation>
    </message>
</context>
<context>
    <name>recovery</name>
    <message>
        <source>Jan</source>
        <translation>1月</translation>
    </message>
    <message>
        <source>Feb</source>
        <translation>2月</translation>
    </message>
    <message>
        <source>Mar</source>
        <translation>3月</translation>
    </message>
    <message>
        <source>Apr</source>
        <translation>4月</translation>
    </message>
    <message>
        <source>May</source>
        <translation>5月</translation>
    </message>
    <message>
        <source>Jun</source>
        <translation>6月</translation>
    </message>
    <message>
        <source>Jul</source>
        <translation>7月</translation>
    </message>
    <message>
        <source>Aug</source>
        <translation>8月</translation>
    </message>
    <message>
        <source>Sep</source>
        <translation>9月</translation>
    </message>
    <message>
        <source>Oct</source>
        <translation>10月</translation>
    </message>
    <message>
        <source>Nov</source>
        <translation>11月</translation>
    </message>
    <message>
        <source>Dec</source>
        <translation>12月</translation>
    </message>
    <message>
        <source>an unnamed chart</source>
        <translation>一个未命名的流程图</translation>
    </message>
    <message>
        <source>%1 %2 %3</source>
        <translation>%2%1日 %3</translation>
    </message>
    <message>
        <source>%1 %2 %3 %4</source>
        <extracomment>The day of the month, the month, the year and the time: &quot;9 Dec 2025 12:41&quot;.</extracomment>
        <translation>%3年%2%1日 %4</translation>
    </message>
    <message>
        <source>The editor closed before %1 was saved. Restore the changes from %2?</source>
        <translation>编辑器在保存 %1 之前关闭了。要恢复 %2 时的修改吗？</translation>
    </message>
    <message>
        <source>Cannot autosave in folder &quot;%1&quot;. It was never opened</source>
        <translation>无法在文件夹“%1”中自动保存：自动保存从未开启。</translation>
    </message>
    <message>
        <source>create</source>
        <translation>创建</translation>
    </message>
    <message>
        <source>write to</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>Cannot %1 folder &quot;%2&quot;. %3</source>
        <translation>无法%1文件夹“%2”。%3</translation>
    </message>
    <message>
        <source>No folder was given</source>
        <translation>没有指定文件夹</translation>
    </message>
    <message>
        <source>No free name for a lock file</source>
        <translation>找不到可用的锁文件名</translation>
    </message>
</context>
<context>
    <name>sim</name>
    <message>
        <source>the statement cannot be read: expected %1</source>
        <translation>无法读懂这条语句：这里需要的是%1</translation>
    </message>
    <message>
        <source>the statement cannot be read at column %1: expected %2</source>
        <translation>无法读懂这条语句的第 %1 列：这里需要的是%2</translation>
    </message>
    <message>
        <source>no line %1 or after it to go to</source>
        <translation>没有第 %1 行或它之后的行可以跳转</translation>
    </message>
    <message>
        <source>the download leaves this line out: %1</source>
        <translation>下载时会略过这一行：%1</translation>
    </message>
    <message>
        <source>the statement holds more than %1 brackets and signs</source>
        <translation>这条语句里的括号和负号超过了 %1 个</translation>
    </message>
    <message>
        <source>more than %1 GOSUB calls and FOR loops open at once (the robot&apos;s stack holds %1)</source>
        <translation>同时进行中的 GOSUB 调用和 FOR 循环超过了 %1 个（机器人的堆栈只能放 %1 个）</translation>
    </message>
    <message>
        <source>division by zero</source>
        <translation>除数为零</translation>
    </message>
    <message>
        <source>RETURN without GOSUB</source>
        <translation>RETURN 没有对应的 GOSUB</translation>
    </message>
    <message>
        <source>the loop of %1 counts nothing and no NEXT %1 follows to go on after</source>
        <translation>变量 %1 的循环一次也不执行，而且后面没有 NEXT %1 可以接着运行</translation>
    </message>
    <message>
        <source>NEXT %1 without FOR %1</source>
        <translation>NEXT %1 没有对应的 FOR %1</translation>
    </message>
    <message>
        <source>Floor &quot;%1&quot;, %2</source>
        <translation>场地“%1”：%2</translation>
    </message>
    <message>
        <source>Robot model &quot;%1&quot;, %2</source>
        <translation>机器人模型“%1”：%2</translation>
    </message>
    <message>
        <source>a floor file begins with &quot;%1&quot;</source>
        <translation>场地文件要以“%1”开头</translation>
    </message>
    <message>
        <source>floor format version %1 is not known (this program reads version 1)</source>
        <translation>不认识场地格式的版本 %1（本程序读取的是版本 1）</translation>
    </message>
    <message>
        <source>the area&apos;s upper right corner must lie above and right of its lower left one</source>
        <translation>区域的右上角必须位于左下角的右上方</translation>
    </message>
    <message>
        <source>the start heading must lie from 0 to 359 degrees</source>
        <translation>起始朝向必须在 0 到 359 度之间</translation>
    </message>
    <message>
        <source>expected %1, and more X Y pairs if any</source>
        <translation>这里需要 %1，如果还有更多的点，就接着写 X Y 坐标</translation>
    </message>
    <message>
        <source>a line&apos;s width must be 1 or more</source>
        <translation>线的宽度至少要为 1</translation>
    </message>
    <message>
        <source>a box&apos;s width and height must be 1 or more</source>
        <translation>方块的宽度和高度至少要为 1</translation>
    </message>
    <message>
        <source>unknown item &quot;%1&quot; (expected name, area, start, line, wall or box)</source>
        <translation>未知的项目“%1”（应为 name、area、start、line、wall 或 box）</translation>
    </message>
    <message>
        <source>an empty text is not a floor: a floor file begins with &quot;%1&quot;</source>
        <translation>空的文本不是场地：场地文件要以“%1”开头</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 写了两次</translation>
    </message>
    <message>
        <source>expected %1</source>
        <translation>这里需要 %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a whole number from %2 to %3</source>
        <translation>“%1”不是 %2 到 %3 之间的整数</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>第 %1 行：%2</translation>
    </message>
    <message>
        <source>unknown name &quot;%1&quot;</source>
        <translation>未知的名称“%1”</translation>
    </message>
    <message>
        <source>%1 is set twice</source>
        <translation>%1 设置了两次</translation>
    </message>
    <message>
        <source>%1 takes a decimal number, not &quot;%2&quot;</source>
        <translation>%1 需要一个十进制数，而不是“%2”</translation>
    </message>
    <message>
        <source>%1 takes a whole number</source>
        <translation>%1 需要一个整数</translation>
    </message>
    <message>
        <source>%1 must lie from %2 to %3</source>
        <translation>%1 必须在 %2 到 %3 之间</translation>
    </message>
</context>
</TS>
