<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>ExcelReport</name>
    <message>
        <source>找不到模板文件或无法读取：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板不是Excel工作簿：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板工作簿已损坏：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作簿未打开</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OfficeConverter</name>
    <message>
        <source>无法创建LibreOffice配置目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入LibreOffice配置：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到LibreOffice（soffice），无法生成PDF。请安装libreoffice-writer。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LibreOffice正忙，等待超时。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建临时目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法启动LibreOffice：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LibreOffice转换PDF超时。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LibreOffice转换PDF失败（退出码%1）：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OoxmlPackage</name>
    <message>
        <source>文件不存在：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件已损坏或不是Office文档：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少[Content_Types].xml</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法生成文档压缩包</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RawWorkbook</name>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建工作表</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温速率校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作簿未创建</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据超过工作表的最大行数（1048576行）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入工作表失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存工作簿失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReportTemplates</name>
    <message>
        <source>校准证书.dotx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始记录.dotx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准证书.xltx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始记录.xltx</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReportWriter</name>
    <message>
        <source>原始记录最多支持%1个探头</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定温度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不确定度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定温度/</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>极差/</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WordReport</name>
    <message>
        <source>找不到模板文件或无法读取：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板不是Word文档：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板正文已损坏：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文档未打开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建临时目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入临时文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
