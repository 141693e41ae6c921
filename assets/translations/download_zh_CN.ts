<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>TFormDownload</name>
    <message>
        <source>ZOLVANE Download</source>
        <translation>ZOLVANE 下载</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>COM:</source>
        <translation>端口：</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Stop the download (Escape)</source>
        <translation>停止下载（Esc 键）</translation>
    </message>
    <message>
        <source>Test connection</source>
        <translation>测试连接</translation>
    </message>
    <message>
        <source>Ask the robot on the chosen port to answer, without sending a program</source>
        <translation>让所选端口上的机器人应答一下，不发送程序</translation>
    </message>
    <message>
        <source>Send to all connected robots</source>
        <translation>发送给所有连接的机器人</translation>
    </message>
    <message>
        <source>Send the program to the robot on every listed port at once</source>
        <translation>把程序同时发送给列表中每个端口上的机器人</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened.</source>
        <translation>无法打开端口 %1。</translation>
    </message>
    <message>
        <source>%1 is open.</source>
        <translation>%1 已打开。</translation>
    </message>
    <message>
        <source>%1 is closed.</source>
        <translation>%1 已关闭。</translation>
    </message>
    <message>
        <source>There is no program to download: generate or load one first.</source>
        <translation>没有可以下载的程序：请先生成或载入一个程序。</translation>
    </message>
    <message>
        <source>Nothing was sent.</source>
        <translation>什么也没有发送。</translation>
    </message>
    <message>
        <source>No robot&apos;s port is listed: plug in the robots&apos; cables and wait until their ports appear.</source>
        <translation>列表里没有机器人的端口：请插上机器人的数据线，等它们的端口出现。</translation>
    </message>
    <message>
        <source>Sending the program to %1 robots</source>
        <translation>正在把程序发送给 %1 个机器人</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1。</translation>
    </message>
    <message>
        <source>%1 of %2 robots have the program</source>
        <translation>%2 个机器人中有 %1 个收到了程序</translation>
    </message>
    <message>
        <source>Point at a robot&apos;s row to see what to check.</source>
        <translation>把鼠标指向某个机器人的那一行，就能看到要检查什么。</translation>
    </message>
    <message>
        <source>The port was lost: %1</source>
        <translation>端口断开了：%1</translation>
    </message>
</context>
</TS>
