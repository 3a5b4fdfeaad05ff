<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>ChartView</name>
    <message>
        <source>设备校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
