<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>Analysis</name>
    <message>
        <source>未查找到循环文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件异常！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温循环文件步骤不能小于3步！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温循环文件步骤1温度需要小于步骤2温度！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温循环文件步骤3温度需要小于步骤2温度！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温循环文件的升降温温差需要大于十度！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动识别错误，请手动分段！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结束</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线不全不能生成报告！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>获取数据错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线时间必须为递增的！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有检测到标注线！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线时间小于开始时间！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线时间大于结束时间！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到数据！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截取的数据不匹配循环文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据错误，校准失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据错误，验证失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不合格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准结果为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合格  误差为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不合格  误差为：</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
