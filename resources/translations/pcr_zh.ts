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
<context>
    <name>Help</name>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR仪校准系统软件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>技术支持：请联系本单位的系统管理员。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>使用说明：点击“帮助”打开用户手册。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帮助</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开用户手册：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手册文件缺失</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Login</name>
    <message>
        <source>用户登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密  码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>忘记密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>登 陆</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取 消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入用户名!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入密码!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名错误!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户已过期!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户已被锁定!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户登录。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户密码错误。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码错误,连续3次密码错误用户将会锁定!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>答案错误!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>否</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不保存</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PCR</name>
    <message>
        <source>PCR仪设备管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪器管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR仪设备校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>步骤文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开数据库失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前用户为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版权所有 © 2024 PCR仪校准系统开发组</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备正在运行中，请停止运行！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确认退出程序?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出软件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准界面不允许打开设置！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PCRClass</name>
    <message>
        <source>PCR仪校准系统软件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RCR仪设备管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪器 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电测仪器管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR仪设备校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Tool</name>
    <message>
        <source>系统设置-手动备份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-自动备份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-手动恢复</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-修改路径</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-公司名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-语言切换</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-温度单位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-温度精度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-导出格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-通信设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备校准-校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备校准-数据删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出-校准报告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出-校准记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出-原始记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志-下载</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>管理员</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正常</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>锁定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>内校</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未校</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已校</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>蓝牙</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
