<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ExcelReport</name>
    <message>
        <source>找不到模板文件或无法读取：%1</source>
        <translation>Template file not found or not readable: %1</translation>
    </message>
    <message>
        <source>模板不是Excel工作簿：%1</source>
        <translation>The template is not a spreadsheet workbook: %1</translation>
    </message>
    <message>
        <source>模板工作簿已损坏：%1</source>
        <translation>The template workbook is damaged: %1</translation>
    </message>
    <message>
        <source>工作簿未打开</source>
        <translation>No workbook is open</translation>
    </message>
</context>
<context>
    <name>OfficeConverter</name>
    <message>
        <source>无法创建LibreOffice配置目录：%1</source>
        <translation>Cannot create the LibreOffice profile folder: %1</translation>
    </message>
    <message>
        <source>无法写入LibreOffice配置：%1</source>
        <translation>Cannot write the LibreOffice settings: %1</translation>
    </message>
    <message>
        <source>未找到LibreOffice（soffice），无法生成PDF。请安装libreoffice-writer。</source>
        <translation>LibreOffice (soffice) was not found, so no PDF can be made. Please install libreoffice-writer.</translation>
    </message>
    <message>
        <source>LibreOffice正忙，等待超时。</source>
        <translation>LibreOffice is busy; waiting for it timed out.</translation>
    </message>
    <message>
        <source>无法创建临时目录：%1</source>
        <translation>Cannot create a temporary folder: %1</translation>
    </message>
    <message>
        <source>无法启动LibreOffice：%1</source>
        <translation>Cannot start LibreOffice: %1</translation>
    </message>
    <message>
        <source>LibreOffice转换PDF超时。</source>
        <translation>LibreOffice timed out converting to PDF.</translation>
    </message>
    <message>
        <source>LibreOffice转换PDF失败（退出码%1）：%2</source>
        <translation>LibreOffice failed to convert to PDF (exit code %1): %2</translation>
    </message>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation>Cannot write the file %1 (%2)</translation>
    </message>
</context>
<context>
    <name>OoxmlPackage</name>
    <message>
        <source>文件不存在：%1</source>
        <translation>The file does not exist: %1</translation>
    </message>
    <message>
        <source>无法读取文件：%1（%2）</source>
        <translation>Cannot read the file %1 (%2)</translation>
    </message>
    <message>
        <source>文件已损坏或不是Office文档：%1（%2）</source>
        <translation>The file is damaged or not an Office document: %1 (%2)</translation>
    </message>
    <message>
        <source>缺少[Content_Types].xml</source>
        <translation>[Content_Types].xml is missing</translation>
    </message>
    <message>
        <source>无法生成文档压缩包</source>
        <translation>Cannot build the document package</translation>
    </message>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation>Cannot write the file %1 (%2)</translation>
    </message>
</context>
<context>
    <name>RawWorkbook</name>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation>Cannot write the file %1 (%2)</translation>
    </message>
    <message>
        <source>原始数据</source>
        <translation>Raw data</translation>
    </message>
    <message>
        <source>无法创建工作表</source>
        <translation>Cannot create the worksheet</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>均匀度校准</source>
        <translation>Uniformity calibration</translation>
    </message>
    <message>
        <source>升降温速率校准</source>
        <translation>Heating and cooling rate calibration</translation>
    </message>
    <message>
        <source>工作簿未创建</source>
        <translation>The workbook was not created</translation>
    </message>
    <message>
        <source>数据超过工作表的最大行数（1048576行）</source>
        <translation>The data exceed the largest number of rows of a worksheet (1048576)</translation>
    </message>
    <message>
        <source>写入工作表失败：%1</source>
        <translation>Writing the worksheet failed: %1</translation>
    </message>
    <message>
        <source>保存工作簿失败：%1</source>
        <translation>Saving the workbook failed: %1</translation>
    </message>
    <message>
        <source>无法写入文件：%1</source>
        <translation>Cannot write the file %1</translation>
    </message>
</context>
<context>
    <name>ReportTemplates</name>
    <message>
        <source>校准证书.dotx</source>
        <translation>Calibration certificate.dotx</translation>
    </message>
    <message>
        <source>原始记录.dotx</source>
        <translation>Original record.dotx</translation>
    </message>
    <message>
        <source>校准证书.xltx</source>
        <translation>Calibration certificate.xltx</translation>
    </message>
    <message>
        <source>原始记录.xltx</source>
        <translation>Original record.xltx</translation>
    </message>
</context>
<context>
    <name>ReportWriter</name>
    <message>
        <source>原始记录最多支持%1个探头</source>
        <translation>The original record holds at most %1 probes</translation>
    </message>
    <message>
        <source>设定温度</source>
        <translation>Set temperature </translation>
    </message>
    <message>
        <source>不确定度</source>
        <translation>Uncertainty </translation>
    </message>
    <message>
        <source>设定温度/</source>
        <translation>Set temperature/</translation>
    </message>
    <message>
        <source>极差/</source>
        <translation>Range/</translation>
    </message>
</context>
<context>
    <name>WordReport</name>
    <message>
        <source>找不到模板文件或无法读取：%1</source>
        <translation>Template file not found or not readable: %1</translation>
    </message>
    <message>
        <source>模板不是Word文档：%1</source>
        <translation>The template is not a word-processing document: %1</translation>
    </message>
    <message>
        <source>模板正文已损坏：%1</source>
        <translation>The template document is damaged: %1</translation>
    </message>
    <message>
        <source>文档未打开</source>
        <translation>No document is open</translation>
    </message>
    <message>
        <source>无法创建临时目录：%1</source>
        <translation>Cannot create a temporary folder: %1</translation>
    </message>
    <message>
        <source>无法写入临时文件：%1</source>
        <translation>Cannot write a temporary file: %1</translation>
    </message>
</context>
</TS>
